// The loading bar: how far the start has come, in three stretches that the
// page can see. Ruffle's module arriving fills the first, its compilation
// (which reports nothing) creeps through the second, and the movie's bytes
// fill the last. The first frame removes the bar. A movie whose size is not
// known (an internet game arrives whole, after the host has fetched it)
// creeps slowly through its stretch while it downloads.
//
// Plain functions on purpose: the page loads this file as a classic script
// and the tests evaluate it alone.

var PROGRESS_MODULE_END = 0.35;
var PROGRESS_COMPILE_END = 0.65;
// Where a movie download of unknown size creeps to.
var PROGRESS_MOVIE_CREEP = 0.95;

// The share of the bar for a download of `loaded` out of `total` bytes in
// the stretch [from, to]; an unknown total counts as half way.
function progressShare(from, to, loaded, total) {
    var fraction = total > 0 ? Math.min(1, Math.max(0, loaded / total)) : 0.5;
    return from + (to - from) * fraction;
}

// What a fetched address means for the bar: the module, the movie or
// nothing (the game's own later loads do not move it).
function progressStretch(url, gameUrl) {
    if (/\.wasm$/i.test(String(url).split(/[?#]/)[0]))
        return { from: 0, to: PROGRESS_MODULE_END };
    if (String(url) === String(gameUrl))
        return { from: PROGRESS_COMPILE_END, to: 1 };
    return null;
}

function LoadingBar(element) {
    this.element = element;
    this.fill = element ? element.firstElementChild : null;
    this.shown = 0;
}

// Never moves back: a later, smaller report keeps what is shown.
// waiting: "" (the fill follows at once), "waiting" (it creeps there in a
// few seconds) or "downloading" (in about half a minute).
LoadingBar.prototype.show = function (fraction, waiting) {
    if (fraction < this.shown)
        return;
    this.shown = fraction;
    if (!this.fill)
        return;
    this.fill.className = waiting || "";
    this.fill.style.width = (fraction * 100).toFixed(1) + "%";
};

LoadingBar.prototype.onFetchProgress = function (url, gameUrl, loaded, total) {
    var stretch = progressStretch(url, gameUrl);
    if (!stretch)
        return;
    var isMovie = stretch.to === 1;
    // A read has begun: only a movie's says anything (it may take long).
    if (loaded === 0 && total === 0) {
        if (isMovie)
            this.show(PROGRESS_MOVIE_CREEP, "downloading");
        return;
    }
    this.show(progressShare(stretch.from, stretch.to, loaded, total), "");
    // The module is in: the compile stretch creeps on by itself.
    if (!isMovie && total > 0 && loaded >= total)
        this.show(PROGRESS_COMPILE_END, "waiting");
};

LoadingBar.prototype.remove = function () {
    if (this.element && this.element.parentNode)
        this.element.parentNode.removeChild(this.element);
    this.element = null;
    this.fill = null;
};
