var SearchFiles = [
"source/html/start.htm",
"source/html/install.htm",
"source/html/setup.htm",
"source/html/overview.htm",
"source/html/ref.htm",
"source/html/scripted.htm"];

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
