#include "FleetPage.h"

namespace skyglance::catalogue {

std::string_view fleetPageHtml() {
    static constexpr std::string_view kPage = R"html(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Skyglance fleet</title>
<style>
body { font-family: sans-serif; margin: 1em; background: #f4f6f8; color: #222; }
h1 { font-size: 1.4em; margin: 0 0 0.5em 0; }
#bar { display: flex; gap: 1em; align-items: center; flex-wrap: wrap; margin-bottom: 1em; }
#filter { font-size: 1em; padding: 0.3em; width: 16em; }
#summary, #updated { color: #555; }
#tiles { display: grid; grid-template-columns: repeat(auto-fill, minmax(250px, 1fr)); gap: 0.8em; }
.tile { background: #fff; border: 1px solid #ccc; border-left: 6px solid #2a8a3e; padding: 0.5em; }
.tile.silent { border-left-color: #c0392b; }
.tile.last-good { border-left-color: #d68910; }
.tile img, .tile .nothumb { width: 100%; aspect-ratio: 16 / 9; object-fit: cover; background: #ddd; display: block; }
.tile .nothumb { display: flex; align-items: center; justify-content: center; color: #777; }
.name { font-weight: bold; margin-top: 0.3em; overflow-wrap: anywhere; }
.state { font-size: 0.9em; text-transform: uppercase; }
.silent .state { color: #c0392b; }
.last-good .state { color: #b9770e; }
.details { font-size: 0.85em; color: #444; overflow-wrap: anywhere; }
#problem { color: #c0392b; }
</style>
</head>
<body>
<h1>Skyglance fleet</h1>
<div id="bar">
<input id="filter" type="search" placeholder="Filter by name" aria-label="Filter by name">
<span id="summary"></span>
<span id="updated"></span>
<span id="problem"></span>
</div>
<div id="tiles"></div>
<script>
"use strict";
const tiles = document.getElementById("tiles");
const filter = document.getElementById("filter");

// Every text goes in with textContent: names and addresses come from the
// screens and are never read as markup.
function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

function seconds(ms) {
  return (ms / 1000).toFixed(1) + " s";
}

// Asked with the time of the report, so that the browser keeps it until the
// next one.
function thumbnailOf(screen) {
  if (!screen.reportedAt) return element("div", "nothumb", "no report yet");
  const img = element("img");
  img.alt = "";
  img.loading = "lazy"; // a large fleet's thumbnails as they are scrolled to
  img.src = "/fleet/thumb/" + encodeURIComponent(screen.name) + ".jpg?at=" +
            encodeURIComponent(screen.reportedAt);
  return img;
}

// A report's UTC time in the reader's own time and words; "?" when unknown.
function shortTime(iso) {
  const when = iso ? new Date(iso) : null;
  return when && !isNaN(when) ? when.toLocaleString() : "?";
}

function tileOf(screen) {
  const tile = element("div", "tile " + screen.state.replace(" ", "-"));
  tile.dataset.name = screen.name;
  tile.appendChild(thumbnailOf(screen));
  tile.appendChild(element("div", "name", screen.name));
  tile.appendChild(element("div", "state", screen.state));
  const lines = [];
  if (screen.reportedAt) {
    lines.push("last report " + shortTime(screen.reportedAt));
    lines.push("cycle " + shortTime(screen.cycleStarted) + ", " + seconds(screen.cycleMs));
    lines.push(screen.fetched + " fetched, " + screen.failed + " failed");
    lines.push("network " + (screen.network || "?") + ", service " + (screen.service || "?"));
    lines.push((screen.slide >= 0 ? "slide " + (screen.slide + 1) + ": " : "") + screen.address);
    lines.push("version " + screen.version);
  }
  for (const line of lines) tile.appendChild(element("div", "details", line));
  return tile;
}

function applyFilter() {
  const wanted = filter.value.trim().toLowerCase();
  for (const tile of tiles.children) {
    tile.hidden = wanted !== "" && !tile.dataset.name.toLowerCase().includes(wanted);
  }
}

function summaryOf(screens) {
  const count = (state) => screens.filter((s) => s.state === state).length;
  return screens.length + " screens: " + count("live") + " live, " + count("last good") +
         " last good, " + count("silent") + " silent";
}

// The service sends the screens worst first; they are drawn in that order.
function draw(screens) {
  const fresh = document.createDocumentFragment();
  for (const screen of screens) fresh.appendChild(tileOf(screen));
  tiles.replaceChildren(fresh);
  applyFilter();
  document.getElementById("summary").textContent = summaryOf(screens);
  document.getElementById("updated").textContent = "updated " + new Date().toLocaleTimeString();
}

async function refresh() {
  const problem = document.getElementById("problem");
  try {
    const reply = await fetch("/fleet.json", { cache: "no-store" });
    if (!reply.ok) throw new Error("the service answered " + reply.status);
    draw(await reply.json());
    problem.textContent = "";
  } catch (error) {
    problem.textContent = "not updated: " + error.message;
  }
}

filter.addEventListener("input", applyFilter);
refresh();
setInterval(refresh, 10000);
</script>
</body>
</html>
)html";
    return kPage;
}

} // namespace skyglance::catalogue
