// The game page: plays the SWF named by the address, centred at the largest
// size that leaves room for the bezel, and tells the window that size through
// the globals widthPlay and heightPlay followed by one console message.
//
// Written for an engine of Chromium 87's generation: no Array.prototype.at,
// Object.hasOwn, structuredClone or static class blocks.
(function () {
    "use strict";

    var FLASH_MIME_TYPE = "application/x-shockwave-flash";

    var jeu = parseJeu(window.location.href);
    var gameUrl = gameUrlFromPath(jeu.path, window.location.protocol);
    var sizeFromAddress = { width: jeu.width, height: jeu.height };
    var sizeFromMovie = null;
    var reportedSize = null;
    var stage = document.getElementById("stage");
    var loadingBar = new LoadingBar(document.getElementById("loading"));

    function viewSize() {
        return { width: window.innerWidth, height: window.innerHeight };
    }

    // While the natural size is unknown the game gets the whole room, so
    // that the player can start; nothing is reported until the size is known.
    function provisionalSize(view) {
        return {
            width: Math.max(0, view.width - BEZEL_MARGIN_WIDTH),
            height: Math.max(0, view.height - BEZEL_MARGIN_HEIGHT)
        };
    }

    function placeStage(view, size) {
        var corner = centredPosition(view.width, view.height, size.width, size.height);
        stage.style.left = corner.left + "px";
        stage.style.top = corner.top + "px";
        stage.style.width = size.width + "px";
        stage.style.height = size.height + "px";
    }

    function reportSize(size) {
        if (reportedSize && reportedSize.width === size.width
            && reportedSize.height === size.height)
            return;
        reportedSize = size;
        window.widthPlay = size.width;
        window.heightPlay = size.height;
        console.log(SIZE_REPORT_PREFIX + size.width + "x" + size.height);
    }

    function layout(reportEvenWithoutSize) {
        var view = viewSize();
        var natural = naturalSizeOf(sizeFromAddress, sizeFromMovie);
        var size = natural
            ? displayedGameSize(view.width, view.height, natural.width, natural.height)
            : provisionalSize(view);
        placeStage(view, size);
        if (natural || reportEvenWithoutSize)
            reportSize(size);
    }

    function hideLoadingIndicator() {
        loadingBar.remove();
    }

    // The indicator lies under the player: the first frame, or Ruffle's
    // error panel, covers it. It is removed once a frame has been drawn,
    // which the page notes in its log (the window ignores the line; the
    // start-up benchmark times it).
    function hideLoadingIndicatorAfterNextFrame() {
        window.requestAnimationFrame(function () {
            window.requestAnimationFrame(function () {
                hideLoadingIndicator();
                console.log("Vorlumen: first frame drawn");
            });
        });
    }

    function hasNativeFlashPlugin() {
        var types = navigator.mimeTypes;
        return !!(types && types.namedItem && types.namedItem(FLASH_MIME_TYPE));
    }

    function embedWithNativePlugin() {
        var embed = document.createElement("embed");
        embed.setAttribute("type", FLASH_MIME_TYPE);
        embed.setAttribute("src", gameUrl);
        embed.setAttribute("width", "100%");
        embed.setAttribute("height", "100%");
        embed.setAttribute("quality", "high");
        embed.setAttribute("allowscriptaccess", "always");
        stage.appendChild(embed);
        hideLoadingIndicatorAfterNextFrame();
        embed.focus();
        // The plug-in scales the movie itself; without a natural size the
        // whole room is what is shown.
        layout(true);
    }

    function rufflePublicPath() {
        return new URL("ruffle/", window.location.href).href;
    }

    // What the host's "-renderer:" option asks Ruffle to prefer; null leaves
    // Ruffle's own order (the engine decides what it offers). For WebGL,
    // Ruffle's wgpu renderer on WebGL: its plain "webgl" renderer lacks
    // BitmapData.draw, like the canvas one.
    function preferredRenderer() {
        var name = typeof playerRenderer === "string" ? playerRenderer : "";
        if (name === "webgl")
            return "wgpu-webgl";
        return name === "canvas" ? "canvas" : null;
    }

    function configureRuffle() {
        window.RufflePlayer = window.RufflePlayer || {};
        window.RufflePlayer.config = {
            publicPath: rufflePublicPath(),
            polyfills: false,
            autoplay: "on",
            unmuteOverlay: "hidden",
            letterbox: "on",
            contextMenu: "off",
            splashScreen: false,
            backgroundColor: null,
            allowFullscreen: false
        };
        var renderer = preferredRenderer();
        if (renderer)
            window.RufflePlayer.config.preferredRenderer = renderer;
    }

    // A cabinet often renders in software; Ruffle would then offer a
    // hardware-acceleration notice over the game on the first mouse move.
    function hideRuffleNotices(player) {
        if (!player.shadowRoot)
            return;
        var style = document.createElement("style");
        style.textContent = "#hardware-acceleration-modal { display: none !important; }";
        player.shadowRoot.appendChild(style);
    }

    // Until the movie draws, Ruffle's canvas is a blank white box over the
    // loading bar; its error panel lies outside it and still shows.
    function hideRuffleCanvasUntilDrawn(player) {
        if (!player.shadowRoot)
            return function () {};
        var style = document.createElement("style");
        style.textContent = "#container { visibility: hidden !important; }";
        player.shadowRoot.appendChild(style);
        return function () {
            if (style.parentNode)
                style.parentNode.removeChild(style);
        };
    }

    function onMovieMetadata(player) {
        var metadata = player.ruffle().metadata;
        if (metadata)
            sizeFromMovie = { width: metadata.width, height: metadata.height };
        layout(false);
    }

    function playWithRuffle() {
        var player = window.RufflePlayer.newest().createPlayer();
        player.id = "player";
        stage.appendChild(player);
        hideRuffleNotices(player);
        player.addEventListener("loadedmetadata", function () {
            onMovieMetadata(player);
        });
        var showRuffleCanvas = hideRuffleCanvasUntilDrawn(player);
        player.addEventListener("loadeddata", function () {
            // Not from inside Ruffle's own event: the style change makes
            // it lay out again, which it cannot do while it is busy.
            window.setTimeout(showRuffleCanvas, 0);
            hideLoadingIndicatorAfterNextFrame();
            player.focus();
        });
        // The movie's relative loads resolve against its own folder.
        player.ruffle().load({ url: gameUrl, base: folderUrlOf(gameUrl) }).catch(function (error) {
            // Ruffle shows its own error panel over the stage.
            showRuffleCanvas();
            hideLoadingIndicator();
            console.error("Vorlumen: the game could not start: " + error);
        });
        player.focus();
    }

    function loadRuffle() {
        var gameHref = new URL(gameUrl, window.location.href).href;
        installPlayerFetch(window, function (url, loaded, total) {
            loadingBar.onFetchProgress(url, gameHref, loaded, total);
        }, internetSiteRoute(jeu.path));
        configureRuffle();
        var script = document.createElement("script");
        script.src = "ruffle/ruffle.js";
        script.onload = playWithRuffle;
        script.onerror = function () {
            hideLoadingIndicator();
            console.error("Vorlumen: Ruffle is missing beside the game page");
        };
        document.head.appendChild(script);
    }

    window.addEventListener("resize", function () {
        layout(reportedSize !== null);
    });
    // The view never shows a menu of its own.
    window.addEventListener("contextmenu", function (event) {
        event.preventDefault();
    });

    layout(false);
    if (hasNativeFlashPlugin())
        embedWithNativePlugin();
    else
        loadRuffle();
})();
