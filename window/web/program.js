// Runs before the program. Its bytes stand in the page itself: compiled asynchronously, they ask
// nothing of the network. The label's embedded font is decoded meanwhile, not after.
Module['wasmBinary'] = (function () {
  const text = document.getElementById('zintu-program').textContent;
  if (Uint8Array['fromHex']) {
    return Uint8Array['fromHex'](text);
  }
  const bytes = new Uint8Array(text.length / 2);
  for (let at = 0; at < bytes.length; ++at) {
    bytes[at] = parseInt(text.substr(2 * at, 2), 16);
  }
  return bytes;
})();

document.fonts.forEach(function (face) {
  face.load().catch(function () {});
});
