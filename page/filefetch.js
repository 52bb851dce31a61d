// fetch() refuses file: URLs in this web engine, yet Ruffle fetches its
// WebAssembly module, the game and the game's own files with it. GET requests
// for file: URLs therefore go through XMLHttpRequest, which may read local
// files, and come back as an ordinary 200 response.

function contentTypeForUrl(url) {
    var path = String(url).split(/[?#]/)[0].toLowerCase();
    if (/\.wasm$/.test(path))
        return "application/wasm";
    if (/\.swf$/.test(path))
        return "application/x-shockwave-flash";
    return "application/octet-stream";
}

function requestedUrlAndMethod(input, init) {
    var isRequest = typeof Request !== "undefined" && input instanceof Request;
    var url = isRequest ? input.url : String(input);
    var method = (init && init.method) || (isRequest ? input.method : "GET");
    return { url: new URL(url, document.baseURI).href, method: String(method).toUpperCase() };
}

function readLocalFile(url) {
    return new Promise(function (resolve, reject) {
        var request = new XMLHttpRequest();
        request.open("GET", url, true);
        request.responseType = "arraybuffer";
        request.onload = function () {
            // A file read reports status 0; anything else is not a file.
            if ((request.status === 0 || request.status === 200) && request.response)
                resolve(request.response);
            else
                reject(new TypeError("Failed to fetch " + url));
        };
        request.onerror = function () {
            reject(new TypeError("Failed to fetch " + url));
        };
        request.send();
    });
}

function responseForLocalFile(url, bytes) {
    var response = new Response(bytes, {
        status: 200,
        statusText: "OK",
        headers: {
            "Content-Type": contentTypeForUrl(url),
            "Content-Length": String(bytes.byteLength)
        }
    });
    // A built response has an empty url; the player resolves the game's
    // relative loads against it.
    Object.defineProperty(response, "url", { value: url });
    return response;
}

function installFileFetch(target) {
    var networkFetch = target.fetch.bind(target);
    target.fetch = function (input, init) {
        var wanted = requestedUrlAndMethod(input, init);
        if (wanted.url.indexOf("file:") !== 0)
            return networkFetch(input, init);
        if (wanted.method !== "GET")
            return Promise.reject(new TypeError("Only GET can read a local file"));
        // A folder is no game, and listing one (the root for an empty path)
        // can take long.
        if (/\/$/.test(wanted.url.split(/[?#]/)[0]))
            return Promise.reject(new TypeError("A folder is not a file: " + wanted.url));
        return readLocalFile(wanted.url).then(function (bytes) {
            return responseForLocalFile(wanted.url, bytes);
        });
    };
}
