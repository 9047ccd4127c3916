// The watch's page: static HTML whose script follows the server's events.
#include <string>

#include "watch/page_server.h"

namespace scengen {
namespace {

constexpr const char* kPageHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>scengen watch: )";

constexpr const char* kPageBody = R"(</title>
<style>
body { font-family: sans-serif; margin: 0; }
header { position: sticky; top: 0; background: #f4f4f4; padding: 6px 12px;
         border-bottom: 1px solid #ccc; display: flex; gap: 12px; align-items: center; }
h1 { font-size: 16px; margin: 0; }
#stale-note { display: none; color: #b00; font-weight: bold; }
body.stale #stale-note { display: inline; }
body.stale .picture { opacity: 0.45; outline: 3px dashed #b00; }
#diagnostics { margin: 8px 12px; white-space: pre-wrap; font-size: 13px; }
.picture { overflow: auto; margin: 8px 12px; border: 1px solid #ddd; max-height: 70vh; }
.picture svg { display: block; height: auto; }
</style>
</head>
<body>
<header>
<h1 id="title"></h1>
<span id="outcome">waiting for the first compile</span>
<span id="stale-note">stale: the pictures are of the last good compile</span>
<span>zoom <button id="zoom-out" type="button">&minus;</button>
<span id="zoom">100%</span>
<button id="zoom-in" type="button">+</button></span>
</header>
<pre id="diagnostics"></pre>
<div class="picture" id="map"></div>
<div class="picture" id="profile"></div>
<script>
"use strict";
let zoom = 1;
let shownPictures = -1;
function applyZoom() {
  document.getElementById("zoom").textContent = Math.round(zoom * 100) + "%";
  for (const svg of document.querySelectorAll(".picture svg")) {
    svg.style.width = (zoom * 100) + "%";
  }
}
function setZoom(factor) { zoom = Math.min(8, Math.max(0.25, zoom * factor)); applyZoom(); }
document.getElementById("zoom-in").onclick = () => setZoom(1.25);
document.getElementById("zoom-out").onclick = () => setZoom(0.8);
// The new drawing goes where the old one was: the box keeps its scroll, the page its own.
function swap(id, svg) {
  const box = document.getElementById(id);
  const left = box.scrollLeft, top = box.scrollTop;
  box.innerHTML = svg.replace(/^<\?xml[^>]*\?>\s*/, "");
  box.scrollLeft = left;
  box.scrollTop = top;
}
async function text(path) {
  const response = await fetch(path, {cache: "no-store"});
  return response.text();
}
async function refresh() {
  const state = JSON.parse(await text("/state"));
  if (state.pictures !== shownPictures && state.pictures > 0) {
    const [map, profile] = await Promise.all([text("/map.svg"), text("/profile.svg")]);
    swap("map", map);
    swap("profile", profile);
    shownPictures = state.pictures;
    applyZoom();
  }
  document.getElementById("diagnostics").textContent = state.diagnostics;
  document.getElementById("outcome").textContent = state.outcome;
  document.body.classList.toggle("stale", state.stale);
  document.body.dataset.generation = state.generation;
}
document.getElementById("title").textContent = document.title.replace("scengen watch: ", "");
// Each event names a new compile; a stream that reconnects sends the latest at once.
new EventSource("/events").onmessage = () => { refresh(); };
</script>
</body>
</html>
)";

// The title is the only text of the page that is not fixed.
std::string escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

std::string watch_page_html(const std::string& title) {
  return kPageHead + escaped(title) + kPageBody;
}

}  // namespace scengen
