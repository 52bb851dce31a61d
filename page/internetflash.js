// Plays the Flash movies of an internet page (<object>, <embed>) in place,
// with Ruffle served by the player. The host injects this file, after
// filefetch.js and inside one function, into every frame of every page;
// it acts only on internet pages, never on the player's own.
//
// The host lets an internet page read Ruffle's files and nothing else of
// the player's scheme, so the fetch route below gives the page no more.

var RUFFLE_FOLDER = "vorlumen://player/flash/ruffle/";

function isInternetPage(location) {
    return location.protocol === "http:" || location.protocol === "https:";
}

// The page's own settings for Ruffle, if any, are kept; where Ruffle comes
// from and that it replaces the page's movies are ours.
function configureRuffleForPage(target) {
    var existing = target.RufflePlayer && target.RufflePlayer.config;
    var config = {};
    if (existing && typeof existing === "object") {
        for (var key in existing)
            config[key] = existing[key];
    }
    config.publicPath = RUFFLE_FOLDER;
    config.polyfills = true;
    if (!("splashScreen" in config))
        config.splashScreen = false;
    if (!("unmuteOverlay" in config))
        config.unmuteOverlay = "hidden";
    target.RufflePlayer = target.RufflePlayer || {};
    target.RufflePlayer.config = config;
}

function addRuffleScript(document) {
    var script = document.createElement("script");
    script.src = RUFFLE_FOLDER + "ruffle.js";
    (document.head || document.documentElement).appendChild(script);
}

function playPageFlash(target) {
    if (!isInternetPage(target.location) || target.vorlumenFlashInstalled)
        return;
    target.vorlumenFlashInstalled = true;
    installPlayerFetch(target);
    configureRuffleForPage(target);
    addRuffleScript(target.document);
}
