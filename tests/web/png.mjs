// Reads the pixels of a PNG as browsers' screenshots write it: 8 bits a channel, RGB or RGBA,
// not interlaced.
import { inflateSync } from 'node:zlib';

const signatureLength = 8;

function paeth(left, up, upLeft) {
  const p = left + up - upLeft;
  const pa = Math.abs(p - left);
  const pb = Math.abs(p - up);
  const pc = Math.abs(p - upLeft);
  return pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft;
}

export function decodePng(bytes) {
  const data = Buffer.from(bytes);
  let offset = signatureLength;
  let width = 0;
  let height = 0;
  let channels = 0;
  const compressed = [];
  while (offset < data.length) {
    const length = data.readUInt32BE(offset);
    const type = data.toString('latin1', offset + 4, offset + 8);
    const body = data.subarray(offset + 8, offset + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      const colourType = body[9];
      if (body[8] !== 8 || body[12] !== 0 || (colourType !== 2 && colourType !== 6)) {
        throw new Error('only 8-bit RGB and RGBA PNGs without interlacing are read');
      }
      channels = colourType === 6 ? 4 : 3;
    } else if (type === 'IDAT') {
      compressed.push(body);
    }
    offset += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(compressed));
  const stride = width * channels;
  const pixels = Buffer.alloc(height * stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; ++x) {
      const left = x >= channels ? pixels[y * stride + x - channels] : 0;
      const up = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const upLeft = x >= channels && y > 0 ? pixels[(y - 1) * stride + x - channels] : 0;
      const predicted = [0, left, up, (left + up) >> 1, paeth(left, up, upLeft)][filter];
      pixels[y * stride + x] = (line[x] + predicted) & 0xff;
    }
  }
  return {
    width,
    height,
    // As the game writes a colour: red in the low byte.
    colourAt(x, y) {
      const at = (y * width + x) * channels;
      return pixels[at] | (pixels[at + 1] << 8) | (pixels[at + 2] << 16);
    },
  };
}
