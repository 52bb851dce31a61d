// fetch() does not support the player's own URL scheme in this web engine,
// yet Ruffle fetches its WebAssembly module, the game and the game's own
// files with it. GET requests for those URLs therefore go through
// XMLHttpRequest and come back as an ordinary 200 response; what the player
// refuses or cannot find becomes a failed fetch, which the game sees as an
// I/O error. file: URLs are refused outright, unless the page itself was
// opened from a file (only the browser comparisons of bench/ do that; the
// player never does, and its page could not read them anyway).

var PLAYER_SCHEME = "vorlumen:";

function requestedUrlAndMethod(input, init) {
    var isRequest = typeof Request !== "undefined" && input instanceof Request;
    var url = isRequest ? input.url : String(input);
    var method = (init && init.method) || (isRequest ? input.method : "GET");
    return { url: new URL(url, document.baseURI).href, method: String(method).toUpperCase() };
}

function readPlayerUrl(url, onProgress) {
    return new Promise(function (resolve, reject) {
        var request = new XMLHttpRequest();
        request.open("GET", url, true);
        request.responseType = "arraybuffer";
        if (onProgress) {
            request.onprogress = function (event) {
                onProgress(url, event.loaded, event.lengthComputable ? event.total : 0);
            };
        }
        request.onload = function () {
            // A file: read reports status 0.
            if ((request.status === 200 || request.status === 0) && request.response)
                resolve({ bytes: request.response,
                          type: request.getResponseHeader("Content-Type") });
            else
                reject(new TypeError("Failed to fetch " + url));
        };
        request.onerror = function () {
            reject(new TypeError("Failed to fetch " + url));
        };
        request.send();
        // Heard before any byte: a slow download shows that it has begun.
        if (onProgress)
            onProgress(url, 0, 0);
    });
}

// A file: read has no headers; WebAssembly needs its own type to stream.
function fallbackContentType(url) {
    return /\.wasm$/i.test(String(url).split(/[?#]/)[0]) ? "application/wasm"
                                                         : "application/octet-stream";
}

function responseForPlayerUrl(url, file) {
    var response = new Response(file.bytes, {
        status: 200,
        statusText: "OK",
        headers: {
            "Content-Type": file.type || fallbackContentType(url),
            "Content-Length": String(file.bytes.byteLength)
        }
    });
    // A built response has an empty url; Ruffle resolves the game's
    // relative loads against it.
    Object.defineProperty(response, "url", { value: url });
    return response;
}

// onProgress(url, loaded, total), when given, hears how each read advances.
// routeUrl, when given, may send an internet address through the player
// instead (an internet game's own site; see gamequery.js); null leaves it alone.
function installPlayerFetch(target, onProgress, routeUrl) {
    var networkFetch = target.fetch.bind(target);
    target.fetch = function (input, init) {
        var wanted = requestedUrlAndMethod(input, init);
        var routed = routeUrl ? routeUrl(wanted.url) : null;
        if (routed)
            wanted.url = routed;
        var isFile = wanted.url.indexOf("file:") === 0;
        if (isFile && target.location.protocol !== "file:")
            return Promise.reject(new TypeError("Local files are not readable: " + wanted.url));
        if (!isFile && wanted.url.indexOf(PLAYER_SCHEME) !== 0)
            return networkFetch(input, init);
        if (wanted.method !== "GET")
            return Promise.reject(new TypeError("Only GET can read a game file"));
        return readPlayerUrl(wanted.url, onProgress).then(function (file) {
            return responseForPlayerUrl(wanted.url, file);
        });
    };
}
