// What the page uses of the browser that Closure Compiler's own list of it, as emscripten runs
// it, leaves out: a name missing here would be renamed or refused.

/**
 * @param {string} query
 * @return {!MediaQueryList}
 */
function matchMedia(query) {}
