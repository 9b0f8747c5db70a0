// Runs before the program. Its bytes stand in the page itself: compiled asynchronously, they ask
// nothing of the network. The label's embedded font is decoded meanwhile, not after.
Module['wasmBinary'] = (function () {
  const text = document.getElementById('zintu-program').textContent;
  return Uint8Array['fromBase64'] ? Uint8Array['fromBase64'](text) :
    Uint8Array.from(atob(text), function (character) { return character.charCodeAt(0); });
})();

document.fonts.forEach(function (face) {
  face.load().catch(function () {});
});
