#include "compiler/error_codes.h"

#include <algorithm>
#include <iterator>

namespace scengen {
namespace {

constexpr std::optional<TextKind> kLine = TextKind::Line;
constexpr std::optional<TextKind> kTrain = TextKind::Train;
constexpr std::optional<TextKind> kNoText = std::nullopt;

constexpr ErrorCodeInfo kCodes[] = {
    {1, "the route length is more than 1000000 m", false, kLine},
    {2, "a kilometric reference has a position or progressive that is not a multiple of 50",
     false, kLine},
    {3, "the cab-signal repetition start is not a multiple of 50", false, kLine},
    {4, "the cab-signal repetition end is not a multiple of 50", false, kLine},
    {5, "the cab-signal repetition names neither 4 nor 9 codes", false, kLine},
    {6, "an information board's cell is not free", true, kLine},
    {7, "a code point's cell is not free", true, kTrain},
    {8, "a station position is not a multiple of 50", true, kTrain},
    {9, "a station length is not a multiple of 100", true, kTrain},
    {10, "the stations run into the slots of the information-board texts", false, kTrain},
    {11, "a signal before a warning board has no cell for its code point", true, kTrain},
    {12, "no cell is free for a code point before a slow-order start", true, kTrain},
    {13, "no cell is free for a code point along or after a slow order", true, kTrain},
    {15, "a position lies beyond the track", true, kNoText},
    {16, "a signal's cell is not free", true, kTrain},
    {17, "a slow order's warning-board cell is not free", true, kTrain},
    {18, "a slow order's start cell is not free", true, kTrain},
    {19, "a slow order's end cell is not free", true, kTrain},
    {20, "a slow order's approach-board cells are not free", true, kTrain},
    {21, "a maximum-speed board's cell is not free", true, kLine},
    {22, "a station starts less than 350 m after the previous station's end", true, kTrain},
    {24, "a station ends within the first 100 m of the route", false, kTrain},
    {25, "a description text cannot be read: a missing text, a malformed or too large number, "
         "the end of the file inside a record, or a table that is full",
     false, kNoText},
    {101, "the line description text does not exist", false, kLine, true},
    {102, "the line description has no [generale] section", false, kLine, true},
    {103, "a curve names no class from 1 to 6, or the route plan would pass 1000000 points",
     false, kLine},
    {1250, "the seal's first reserved field is already set", false, kNoText},
    {1251, "the seal's second reserved field is already set", false, kNoText},
};

}  // namespace

const ErrorCodeInfo* find_error_code(int32_t code) {
  const auto it = std::find_if(std::begin(kCodes), std::end(kCodes),
                               [code](const ErrorCodeInfo& info) { return info.code == code; });
  return it == std::end(kCodes) ? nullptr : it;
}

std::string describe_error(int32_t code, int32_t position) {
  const ErrorCodeInfo* info = find_error_code(code);
  std::string text = "error " + std::to_string(code) + ": ";
  text += info ? info->meaning : "unknown error";
  if (info && info->has_position) text += " (at " + std::to_string(position) + " m)";
  return text;
}

}  // namespace scengen
