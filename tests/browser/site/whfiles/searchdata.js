var SearchFiles = [
"source/start.htm",
"source/install.htm",
"source/setup.htm",
"source/overview.htm",
"source/ref.htm",
"source/scripted.htm"];

var SearchTitles = [
"Getting Started",
"Install",
"Setup",
"Overview",
"Reference",
"Scripted"];

var SearchIndexes = [
["alpha",[0,2,5]],
["beta",[2,3,4]],
["gamma",[1]],
["\u4e2d\u6587",[2]]
];
