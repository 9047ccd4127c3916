// The canonical layout: the built-in texts stay as they are, other layouts take theirs, and
// whatever is not a plain record stays byte for byte; never a compiled byte changes.
#include "format/text_format.h"

#include <gtest/gtest.h>

#include <string>

#include "format/compiled_image.h"
#include "texts/annotated_texts.h"
#include "texts/line_description.h"
#include "texts/line_list.h"
#include "texts/train_description.h"

namespace scengen::format {
namespace {

const std::string kBuiltInLine = emit_line_list(line_description_lines());
const std::string kBuiltInTrain = emit_line_list(train_description_lines());

TEST(TextFormat, TheBuiltInTextsAreLaidOutAlready) {
  EXPECT_EQ(format_text(kBuiltInLine, TextKind::line), kBuiltInLine);
  EXPECT_EQ(format_text(kBuiltInTrain, TextKind::train), kBuiltInTrain);
  // Their comments are lines of their own.
  const std::string line = emit_line_list(annotated_line_description_lines());
  const std::string train = emit_line_list(annotated_train_description_lines());
  EXPECT_EQ(format_text(line, TextKind::line), line);
  EXPECT_EQ(format_text(train, TextKind::train), train);
}

struct Case {
  const char* name;
  TextKind kind;
  std::string text;
  std::string formatted;
};

// A route of 5000 m to put records on, and a train text's opening.
const std::string kLineHead = "[generale]\r\nlunghezza percorso,    5000\r\n[curve]\r\n";
const std::string kTrainHead = "[generale]\r\n";

const Case kCases[] = {
    // Line description: a fixed number of blanks after each comma, per record.
    {"general values", TextKind::line,
     "[generale]\r\nlunghezza percorso,5000\r\nprogressiva chilometrica uno ,1000,\t2000 , 1\r\n"
     "ripetizione segnali 9 codici,0,4000\r\n",
     "[generale]\r\nlunghezza percorso,    5000\r\nprogressiva chilometrica uno,    1000,    2000,"
     "    1\r\nripetizione segnali 9 codici,    0,    4000\r\n"},
    {"features", TextKind::line,
     kLineHead + "curvas3 ,1000 ,   600\r\n  pendenza,0,-3\r\nmontagna,2000,2100,12\r\n",
     kLineHead + "curvas3,  1000,  600\r\npendenza,  0,   -3\r\nmontagna,   2000,  2100,  12\r\n"},
    {"empty speeds stay empty", TextKind::line,
     kLineHead + "indicatori_vmax,700,30,30,30,0,,, ,0\r\n",
     kLineHead + "indicatori_vmax,  700,  30,  30,  30,  0,  ,  ,  ,  0\r\n"},
    {"a board's text keeps its inner blanks", TextKind::line,
     kLineHead + "cartello_indicatore,2500,(  FINE   )(PONTE SUL)  \r\n",
     kLineHead + "cartello_indicatore,  2500,   (  FINE   )(PONTE SUL)\r\n"},
    {"headers and blank lines", TextKind::line,
     "  [generale] \r\n \t \r\nlunghezza percorso, 5000\r\n\r\n [FINE]\r\n",
     "[generale]\r\n\r\nlunghezza percorso,    5000\r\n\r\n[FINE]\r\n"},

    // Train description: numbers right-aligned in the built-in text's columns.
    {"steps and code points", TextKind::train,
     kTrainHead +
         "velocita,0,30\r\nvelocita,1100,95\r\naderenza,0,96\r\nabbattimento,10000,270\r\n",
     kTrainHead + "velocita,   0,    30\r\nvelocita,    1100,    95\r\naderenza,       0,    96\r\n"
                  "abbattimento,   10000,   270\r\n"},
    {"a value wider than its column", TextKind::train,
     kTrainHead + "aderenza,123456789,1234567\r\n",
     kTrainHead + "aderenza, 123456789, 1234567\r\n"},
    {"stations", TextKind::train,
     kTrainHead + "stazione,35600,12,600,1,0,1,4,1,1,2,1,1,60,9,2,0,LODI\r\n"
                  "STAZIONE , 1100 , 26, 200, 0,0,0, 0,0,0, 0,0,0, 1, 0,0,0 , Cabina  B \r\n",
     kTrainHead +
         "stazione,   35600, 12,  600,  1, 0, 1,  4,1,1,  2,1,1,   60,   9, 2, 0, LODI\r\n"
         "STAZIONE,    1100, 26,  200,  0, 0, 0,  0,0,0,  0,0,0,    1,   0, 0, 0, Cabina  B\r\n"},
    {"signals and slow orders", TextKind::train,
     kTrainHead + "segnale,22650,2,2,4,0,2,2,3,1,0,0\r\nrallentamento,53750,40,400,1,1,30\r\n",
     kTrainHead + "segnale,   22650,   2, 2, 4,  0, 2,    2,  3,1,0, 0\r\n"
                  "rallentamento,   53750,    40,  400, 1,  1,  30\r\n"},
    {"numbers between blanks keep their blanks", TextKind::train,
     kTrainHead + "orologio,8  19   15 \r\norologio,8,19,15\r\nsabbia,300\r\n",
     kTrainHead + "orologio,    8  19   15 \r\norologio,    8,    19,    15\r\nsabbia,    300\r\n"},

    // Line ends stay as they are, each line's own.
    {"line ends", TextKind::train, "[generale]\nsabbia,1\rsabbia,2\r\n\nsabbia,3\n",
     "[generale]\nsabbia,    1\rsabbia,    2\r\n\nsabbia,    3\n"},
    {"blanks between a carriage return and a line feed", TextKind::train,
     kTrainHead + "numero vetture\r \n8  , sabbia,    120\r\n",
     kTrainHead + "numero vetture\r \n8  , sabbia,    120\r\n"},

    // Whatever is not one plain record stays byte for byte.
    {"comments", TextKind::train, kTrainHead + " -- sabbia,   1 \r\nsabbia-x,1\r\n",
     kTrainHead + " -- sabbia,   1 \r\nsabbia-x,1\r\n"},
    {"records before the general header", TextKind::train, "sabbia,1\r\n[generale]\r\n",
     "sabbia,1\r\n[generale]\r\n"},
    {"a record of the other section", TextKind::line,
     "[generale]\r\npendenza,0,1\r\n[curve]\r\nsfondo uno,1\r\n",
     "[generale]\r\npendenza,0,1\r\n[curve]\r\nsfondo uno,1\r\n"},
    {"too few or too many values, or two records on a line", TextKind::train,
     kTrainHead + "aderenza,0\r\n96\r\naderenza,0,96,1\r\nsabbia,1,sabbia,2\r\n",
     kTrainHead + "aderenza,0\r\n96\r\naderenza,0,96,1\r\nsabbia,1,sabbia,2\r\n"},
    {"numbers that are not plain", TextKind::train,
     kTrainHead + "sabbia,12.5\r\nsabbia,1x\r\nsabbia,-\r\nsabbia, 3 x\r\n",
     kTrainHead + "sabbia,12.5\r\nsabbia,1x\r\nsabbia,-\r\nsabbia, 3 x\r\n"},
    {"a keyword that names two records or none", TextKind::train,
     kTrainHead + "segnale aderenza,0,96\r\nsabbie,1\r\n",
     kTrainHead + "segnale aderenza,0,96\r\nsabbie,1\r\n"},
    {"a name cut by a comma", TextKind::train,
     kTrainHead + "stazione,0,8,600,0,1,0,1,1,0,2,4,1,1,8,20,0,A,B\r\n",
     kTrainHead + "stazione,0,8,600,0,1,0,1,1,0,2,4,1,1,8,20,0,A,B\r\n"},
    {"a quoted field and the lines it runs through", TextKind::line,
     kLineHead + "cartello_indicatore,1,\"(A)\r\npendenza, 0, 1\r\n(B)\"\r\npendenza, 0, 2\r\n",
     kLineHead + "cartello_indicatore,1,\"(A)\r\npendenza, 0, 1\r\n(B)\"\r\npendenza,  0,   2\r\n"},
    {"an unended last line", TextKind::train, kTrainHead + "sabbia, 1\r\nsabbia, 2 ",
     kTrainHead + "sabbia,    1\r\nsabbia, 2 "},
    {"bytes beyond ASCII", TextKind::line,
     kLineHead + "cartello_indicatore,1,( S.S. n\xB0 9 )\r\n\xE0,1\r\n",
     kLineHead + "cartello_indicatore,  1,   ( S.S. n\xB0 9 )\r\n\xE0,1\r\n"},
};

TEST(TextFormat, LaysOutPlainRecordsAndKeepsEverythingElse) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string once = format_text(c.text, c.kind);
    EXPECT_EQ(once, c.formatted);
    EXPECT_EQ(format_text(once, c.kind), once) << "laid out again";
  }
}

TEST(TextFormat, NoLayoutChangesWhatTheTextsCompileTo) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const bool line = c.kind == TextKind::line;
    const std::string& partner = line ? kBuiltInTrain : kBuiltInLine;
    const std::string formatted = format_text(c.text, c.kind);
    EXPECT_EQ(line ? compile_image(formatted, partner, 1) : compile_image(partner, formatted, 1),
              line ? compile_image(c.text, partner, 1) : compile_image(partner, c.text, 1));
  }
}

TEST(CompiledImage, TellsApartTextsThatCompileDifferently) {
  const CompiledImage built_in = compile_image(kBuiltInLine, kBuiltInTrain, 1);
  EXPECT_EQ(built_in.status_code, 0);
  EXPECT_FALSE(built_in.plan.empty());
  EXPECT_EQ(compile_image(kBuiltInLine, kBuiltInTrain, 1), built_in);
  // One board moved by 50 m: the same status, other cells.
  std::string moved = kBuiltInLine;
  moved.replace(moved.find("cartello_indicatore,  1700"), 26, "cartello_indicatore,  1650");
  const CompiledImage other = compile_image(moved, kBuiltInTrain, 1);
  EXPECT_EQ(other.status_code, 0);
  EXPECT_NE(other, built_in);
  // A route cut short: a status of its own.
  std::string shorter = kBuiltInLine;
  shorter.replace(shorter.find("72000"), 5, "60000");
  EXPECT_NE(compile_image(shorter, kBuiltInTrain, 1).status_code, 0);
}

TEST(CompiledImage, ReadsNoByteBeyondATextsEnd) {
  // Blanks after the last comma make an empty field that ends the text; the byte after the
  // text's view (a quote here) is not the start of a quoted field.
  const std::string buffer = "[generale]\r\nsabbia, 3,  \"";
  const std::string_view train(buffer.data(), buffer.size() - 1);
  EXPECT_EQ(compile_image(kBuiltInLine, train, 0),
            compile_image(kBuiltInLine, std::string(train), 0));
}

}  // namespace
}  // namespace scengen::format
