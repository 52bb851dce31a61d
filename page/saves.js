// The games' saves are the player's files (.sol files in the saves tree),
// not the web engine's storage, which shares one small quota between all
// local games and writes to disk when it pleases.
//
// Ruffle keeps a shared object in window.localStorage under the key
// "<host>/<path>/<name>", its value the .sol file in base64; it reads at
// SharedObject.getLocal and writes at flush() and when its player ends.
// Here window.localStorage becomes a storage that reads each object from the
// player when the movie first asks for it and hands every write to the
// player before flush() returns. The page's own keys (renderer.js) stay in
// the engine's storage.
//
// Written for an engine of Chromium 87's generation, as gamepage.js.
(function () {
    "use strict";

    // A page opened from its file (bench/) keeps the engine's storage.
    if (window.location.protocol !== "vorlumen:")
        return;

    var engineStorage = null;
    try {
        engineStorage = window.localStorage;
    } catch (e) {
        engineStorage = null;
    }

    // Addresses stay well below the engine's 2 MiB.
    var PART_CHARS = 1024 * 1024;
    var saveKeyPrefix = window.location.hostname + "/";
    var known = Object.create(null); // key: base64 text, or null for none

    function isSaveKey(key) {
        return typeof key === "string" && key.indexOf(saveKeyPrefix) === 0;
    }

    // Synchronous on purpose: Ruffle reads while the movie waits, and a
    // flush() counts once the player has the bytes. null when the host has
    // no road for saves at all.
    function ask(path) {
        var request = new XMLHttpRequest();
        request.open("GET", path, false);
        try {
            request.send();
        } catch (e) {
            return null;
        }
        return request.status === 200 ? request.responseText : "!";
    }

    function readSave(key) {
        if (key in waiting)
            return waiting[key];
        if (!(key in known)) {
            var answer = ask("/saves/read?key=" + encodeURIComponent(key)) || "!";
            known[key] = answer.charAt(0) === "+" ? answer.substring(1) : null;
        }
        return known[key];
    }

    function send(route, key, base64) {
        var text = String(base64).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
        var parts = Math.max(1, Math.ceil(text.length / PART_CHARS));
        for (var i = 0; i < parts; ++i) {
            var answer = ask("/saves/" + route + "?key=" + encodeURIComponent(key) + "&part=" + i
                             + "&parts=" + parts + "&data="
                             + text.substring(i * PART_CHARS, (i + 1) * PART_CHARS));
            if (answer !== "+")
                return false;
        }
        return true;
    }

    // A game that flushes every frame would spend its frames waiting for
    // the player: within this long of an object's last write, the newest
    // bytes wait (at most this long) and go together.
    var COALESCE_MS = 50;
    var lastSent = Object.create(null); // key: when it was last handed over
    var waiting = Object.create(null); // key: the text still to hand over
    var waitTimer = null;

    function sendNow(key, text) {
        delete waiting[key];
        if (!send("write", key, text))
            return false;
        lastSent[key] = Date.now();
        known[key] = text;
        return true;
    }

    function sendWaiting() {
        waitTimer = null;
        Object.keys(waiting).forEach(function (key) {
            sendNow(key, waiting[key]);
        });
    }

    function writeSave(key, value) {
        var text = String(value);
        if (known[key] === text && !(key in waiting))
            return true;
        if (Date.now() - (lastSent[key] || 0) >= COALESCE_MS)
            return sendNow(key, text);
        waiting[key] = text;
        if (waitTimer === null)
            waitTimer = window.setTimeout(sendWaiting, COALESCE_MS);
        return true;
    }

    function removeSave(key) {
        delete waiting[key];
        if (readSave(key) === null)
            return true;
        if (ask("/saves/remove?key=" + encodeURIComponent(key)) !== "+")
            return false;
        known[key] = null;
        return true;
    }

    // Saves the engine kept for this site before they were files: brought
    // over once (each is removed from the engine's storage once the player
    // has written it), before the movie can ask for anything.
    function bringOverEngineSaves() {
        if (!engineStorage)
            return;
        var keys = [];
        for (var i = 0; i < engineStorage.length; ++i) {
            var key = engineStorage.key(i);
            if (isSaveKey(key) && /^AL/.test(engineStorage.getItem(key) || ""))
                keys.push(key);
        }
        keys.forEach(function (key) {
            if (send("import", key, engineStorage.getItem(key)))
                engineStorage.removeItem(key);
        });
    }

    function engineItem(key) {
        var value = engineStorage ? engineStorage.getItem(key) : null;
        return value === null ? undefined : value;
    }

    // The Storage interface, as Ruffle's glue uses it (by name, and through
    // getItem/setItem/removeItem).
    var methods = {
        getItem: function (key) {
            var value = isSaveKey(key) ? readSave(key) : engineItem(key);
            return value === undefined ? null : value;
        },
        setItem: function (key, value) {
            if (!isSaveKey(key)) {
                engineStorage.setItem(key, value);
                return;
            }
            if (!writeSave(key, value))
                throw new DOMException("The save could not be written", "QuotaExceededError");
        },
        removeItem: function (key) {
            if (isSaveKey(key))
                removeSave(key);
            else if (engineStorage)
                engineStorage.removeItem(key);
        },
        key: function (index) {
            return engineStorage ? engineStorage.key(index) : null;
        },
        clear: function () {}
    };

    var storage = new Proxy({}, {
        get: function (target, name) {
            if (name === "length")
                return engineStorage ? engineStorage.length : 0;
            if (Object.prototype.hasOwnProperty.call(methods, name))
                return methods[name];
            if (typeof name !== "string")
                return undefined;
            var value = methods.getItem(name);
            return value === null ? undefined : value;
        },
        set: function (target, name, value) {
            if (typeof name !== "string")
                return false;
            // false makes the caller's assignment throw: flush() answers false.
            try {
                methods.setItem(name, value);
                return true;
            } catch (e) {
                return false;
            }
        },
        deleteProperty: function (target, name) {
            methods.removeItem(String(name));
            return true;
        },
        has: function (target, name) {
            return typeof name === "string" && methods.getItem(name) !== null;
        }
    });

    // The page's own tests serve it without the saves' road: the engine's
    // storage stays, as the player kept saves before they were files.
    if (ask("/saves/road") === null)
        return;
    bringOverEngineSaves();
    ask("/saves/imported");
    Object.defineProperty(window, "localStorage", {
        configurable: false,
        enumerable: true,
        get: function () {
            return storage;
        }
    });

    // The window ends the game before it leaves the page: Ruffle writes every
    // object as its player ends, through the storage above, so that data a
    // game set without flush() is kept (as Flash kept it).
    Object.defineProperty(window, "vorlumenEndGame", {
        configurable: false,
        writable: false,
        value: function () {
            if (waitTimer !== null) {
                window.clearTimeout(waitTimer);
                sendWaiting();
            }
            var players = document.querySelectorAll("ruffle-player, ruffle-object, ruffle-embed, #player");
            for (var i = 0; i < players.length; ++i) {
                if (players[i].parentNode)
                    players[i].parentNode.removeChild(players[i]);
            }
            sendWaiting();
            return true;
        }
    });
})();
