// The game page: plays the SWF named by the address, centred at the largest
// size that leaves room for the bezel, and tells the window that size in one
// console message (and in the globals widthPlay and heightPlay, for the
// tests and benchmarks that drive the page from outside).
//
// Written for an engine of Chromium 87's generation: no Array.prototype.at,
// Object.hasOwn, structuredClone or static class blocks.
(function () {
    "use strict";

    var FLASH_MIME_TYPE = "application/x-shockwave-flash";

    var game = parseGameQuery(window.location.href);
    var gameUrl = gameUrlFromPath(game.path, window.location.protocol);
    var sizeFromAddress = { width: game.width, height: game.height };
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

    // The player's choice for this game: "webgl", "canvas" or "" (the
    // default); and whether WebGL is at hand (the player draws without it
    // unless a game needs it). A plain browser has both.
    var rendererOption = typeof playerRenderer === "string" ? playerRenderer : "";
    var webGlAtHand = typeof playerHasWebGl === "boolean" ? playerHasWebGl : true;

    // window.localStorage or window.sessionStorage; null where the page may
    // not use it.
    function storageOrNull(name) {
        try {
            return window[name];
        } catch (e) {
            return null;
        }
    }

    // With no option, the canvas renderer unless the player knows that this
    // game needs WebGL (renderer.js).
    function startingRenderer() {
        if (takeCanvasAfterFailure(storageOrNull("sessionStorage"), gameUrl)) {
            fellBackToCanvas = true;
            return RUFFLE_CANVAS;
        }
        return ruffleRendererFor(rendererOption);
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

    // The page says once, in its log, why a movie cannot play, or, once its
    // first frame was drawn, why it stopped; the window tells the user.
    // Ruffle's own panel, if any, stays under its dialog.
    var failureReported = false;
    var lastRuffleError = "";
    var firstFrameDrawn = false;

    function reportFailure(reason) {
        if (failureReported)
            return;
        failureReported = true;
        hideLoadingIndicator();
        console.error((firstFrameDrawn ? GAME_STOPPED_PREFIX : GAME_FAILURE_PREFIX)
                      + String(reason).replace(/\s+/g, " ").trim());
    }

    // A page whose Ruffle broke (an uncaught error, its core left locked)
    // would try again every frame, in vain: the player element goes, and
    // with it Ruffle's frame loop.
    function stopBrokenPlayer(reason) {
        var owner = player;
        if (!owner)
            return;
        player = null;
        reportFailure(reason);
        try {
            if (owner.parentNode)
                owner.parentNode.removeChild(owner);
        } catch (e) {
            // Ruffle may throw on its way out; the element is gone all the same.
        }
    }

    // Ruffle logs this many core-locked lines in a few seconds only when it
    // cannot run any frame at all (it runs some sixty frames a second).
    var CORE_LOCKED_LINES = 20;
    var CORE_LOCKED_WITHIN_MS = 3000;
    var coreLockedTimes = [];

    function onCoreLocked() {
        var now = Date.now();
        coreLockedTimes.push(now);
        while (coreLockedTimes.length > 0 && now - coreLockedTimes[0] > CORE_LOCKED_WITHIN_MS)
            coreLockedTimes.shift();
        if (coreLockedTimes.length >= CORE_LOCKED_LINES && player)
            onRuffleGaveUp(player, panicReason || lastRuffleError
                           || "Ruffle stopped running the movie (its core stayed locked)", true);
    }

    // Ruffle logs through the console; its lines are read on the way.
    function watchRuffleLog(onLine) {
        ["log", "warn", "error"].forEach(function (level) {
            var original = console[level];
            console[level] = function () {
                original.apply(console, arguments);
                onLine(ruffleLogText(arguments));
            };
        });
    }

    // Ruffle's error panel: it has given up on the movie.
    function watchForRufflePanel(player, onPanel) {
        if (!player.shadowRoot || typeof MutationObserver === "undefined")
            return;
        new MutationObserver(function (changes, observer) {
            var body = player.shadowRoot.querySelector("#panic-body");
            if (!player.shadowRoot.querySelector("#panic"))
                return;
            observer.disconnect();
            onPanel(body ? body.textContent : "Ruffle's error panel");
        }).observe(player.shadowRoot, { childList: true, subtree: true });
    }

    // A movie whose bytes have all arrived and that still draws nothing
    // after this long will not start.
    var NEVER_STARTS_MS = 60000;
    var neverStartsTimer = null;

    function onMovieArrived() {
        if (neverStartsTimer !== null || firstFrameDrawn)
            return;
        neverStartsTimer = window.setTimeout(function () {
            if (!firstFrameDrawn)
                reportFailure((lastRuffleError ? lastRuffleError + "; " : "")
                              + "the movie did not start within " + NEVER_STARTS_MS / 1000 + " s");
        }, NEVER_STARTS_MS);
    }

    // The running start: its player element and Ruffle's renderer. A new
    // start replaces the element (removed, Ruffle ends its instance).
    var player = null;
    var renderer = null;
    var panicReason = "";
    var gaveUpOn = null;
    var fellBackToCanvas = false;
    var askedForWebGl = false;

    // Ruffle gave up (a panic, its panel, a load that failed, or, `broken`,
    // an error nothing caught or its core left locked). On WebGL, which a
    // failing GPU or driver takes down with it, the game starts again on
    // canvas, once; otherwise the player is told, and a broken player goes.
    function onRuffleGaveUp(owner, reason, broken) {
        if (owner !== player || gaveUpOn === owner)
            return;
        gaveUpOn = owner;
        // A panic leaves Ruffle's module unusable: a fresh page.
        if (renderer !== RUFFLE_CANVAS && !fellBackToCanvas
            && markCanvasAfterFailure(storageOrNull("sessionStorage"), gameUrl)) {
            fellBackToCanvas = true;
            // The window loads the page again on this message.
            console.error(FRESH_PAGE_PREFIX + " (" + reason + "); starting the game again with "
                          + RUFFLE_CANVAS);
            return;
        }
        if (broken)
            stopBrokenPlayer(reason);
        else
            reportFailure(reason);
    }

    function newPlayerElement() {
        var element = window.RufflePlayer.newest().createPlayer();
        element.id = "player";
        stage.appendChild(element);
        hideRuffleNotices(element);
        watchForRufflePanel(element, function (panelText) {
            onRuffleGaveUp(element, panicReason || lastRuffleError || panelText);
        });
        if (element.shadowRoot) {
            element.shadowRoot.addEventListener("webglcontextlost", function () {
                onRuffleGaveUp(element, "the WebGL context was lost");
            }, true);
        }
        element.addEventListener("loadedmetadata", function () {
            onMovieMetadata(element);
        });
        var showRuffleCanvas = hideRuffleCanvasUntilDrawn(element);
        element.addEventListener("loadeddata", function () {
            firstFrameDrawn = true;
            // Not from inside Ruffle's own event: the style change makes
            // it lay out again, which it cannot do while it is busy.
            // A hidden element takes no focus: the game gets it once shown.
            window.setTimeout(function () {
                showRuffleCanvas();
                focusGame(element);
            }, 0);
            if (element === player && renderer === RUFFLE_WEBGL)
                console.log(WEBGL_PLAYED_PREFIX);
            hideLoadingIndicatorAfterNextFrame();
        });
        return element;
    }

    // Ruffle takes keys only while the player has the focus, which it
    // gives itself on a click. A cabinet has no mouse: the keys (a pad's
    // too) go to the game from its first frame. The element that holds
    // the focus is Ruffle's own container inside the player.
    function focusGame(element) {
        var container = element.shadowRoot && element.shadowRoot.getElementById("container");
        (container || element).focus();
    }

    function start(rendererName) {
        if (player && player.parentNode)
            player.parentNode.removeChild(player);
        renderer = rendererName;
        panicReason = "";
        lastRuffleError = "";
        var element = player = newPlayerElement();
        // The movie's relative loads resolve against its own folder.
        element.ruffle().load({ url: gameUrl, base: folderUrlOf(gameUrl),
                                preferredRenderer: rendererName }).catch(function (error) {
            onRuffleGaveUp(element, panicReason || String(error));
        });
        focusGame(element);
    }

    // The movie calls for what the canvas renderer lacks: where WebGL is at
    // hand, it starts again on it, once; the player keeps that choice for
    // the game (and, where it has no WebGL, starts again with it).
    function moveToWebGl() {
        if (!webGlAtHand) {
            console.log(WEBGL_NEEDED_PREFIX + "; asking the player for it");
            return;
        }
        console.log(WEBGL_NEEDED_PREFIX + "; starting it again with " + RUFFLE_WEBGL);
        start(RUFFLE_WEBGL);
    }

    function onRuffleLogLine(text) {
        if (isRuffleCoreLockedText(text)) {
            onCoreLocked();
            return;
        }
        if (isRuffleScriptsEndedText(text)) {
            // Not from inside Ruffle, which is still running the frame.
            window.setTimeout(function () {
                stopBrokenPlayer(lastRuffleError || "Ruffle ended the movie's scripts");
            }, 0);
            return;
        }
        if (RUFFLE_PANIC.test(text)) {
            panicReason = panicReason || panicMessage(text);
            var owner = player;
            window.setTimeout(function () { onRuffleGaveUp(owner, panicReason); }, 0);
        } else if (isRuffleErrorText(text)) {
            lastRuffleError = text.replace(/^ERROR /, "");
        }
        if (!fellBackToCanvas && !askedForWebGl && mayMoveToWebGl(rendererOption, renderer, text)) {
            askedForWebGl = true;
            // Not from inside Ruffle, which is still running the movie.
            window.setTimeout(moveToWebGl, 0);
        }
    }

    function playWithRuffle() {
        watchRuffleLog(onRuffleLogLine);
        start(startingRenderer());
    }

    function loadRuffle() {
        var gameHref = new URL(gameUrl, window.location.href).href;
        installPlayerFetch(window, function (url, loaded, total) {
            loadingBar.onFetchProgress(url, gameHref, loaded, total);
            if (url === gameHref && total > 0 && loaded >= total)
                onMovieArrived();
        }, internetSiteRoute(game.path));
        configureRuffle();
        var script = document.createElement("script");
        script.src = "ruffle/ruffle.js";
        script.onload = playWithRuffle;
        script.onerror = function () {
            reportFailure("Ruffle is missing beside the game page");
        };
        document.head.appendChild(script);
    }

    // An error nothing caught comes from Ruffle itself (a movie's own
    // errors are Ruffle's log lines): the movie is left in a broken state.
    // The engine hides the text of an error from Ruffle's module ("Script
    // error."); the log holds it.
    window.addEventListener("error", function (event) {
        var message = String(event.message || "");
        if (player)
            onRuffleGaveUp(player, panicReason || (message && message !== "Script error." ? message
                           : "Ruffle failed with an error it did not catch"), true);
    });

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
