// Start page and shared state of the frameset; runs in the window of index.html after
// contentsdata.js, whcontents.js and whhelper.js.

var pageid = "";
var searchquery = "";
var indexquery = "";
var pagenum = 0;
var contree = null;

var F = typeof gInitURL == "string" ? gInitURL : "";
if (window.location.search.length > 1) {
    var gWhPage = WhPageParam(window.location.search.substring(1));
    if (gWhPage !== null)
        F = gWhPage;
}
// The frameset writes F into its markup: a quote or a script address must not get through.
F = WhSafeAddress(F);

webhelptop.whtopframe = window;
pageid = F;
document.gbShow = true;
document.gstrFrameLastSetting = "";
