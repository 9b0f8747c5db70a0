// The real zintu.html in a headless browser, played as a person plays it: the pointer through
// the browser's input, the pads read from screenshots, the boxes read as they stand on the page.
import { pathToFileURL } from 'node:url';

import { launch } from './browsers.mjs';
import { decodePng } from './png.mjs';

export const WHITE = 0xffffff;
// As the game writes a colour: red in the low byte.
export const PAD_COLOURS = [0x0000ff, 0x00ffff, 0x00ff00, 0xff0000];
export const PAD_NAMES = ['red', 'yellow', 'green', 'blue'];
// In the client area's pixels: the pads tile a 133 x 133 square in a 2 x 2 grid.
export const PAD_CENTRES = [[33, 33], [100, 33], [100, 100], [33, 100]];
// A point of the window's orange background, off every pad.
export const OFF_PADS = [250, 120];
const POLL_MS = 30;
const PLAYBACK_TIMEOUT_MS = 30000;

export class StepFailed extends Error {}

// Prints every check; a failed one names its step and ends the scenario.
export function check(what, holds) {
  if (holds) {
    console.log(`ok   ${what}`);
  }
  require(what, holds);
}

// A check made too often to print.
export function require(what, holds) {
  if (!holds) {
    console.log(`FAIL ${what}`);
    throw new StepFailed(what);
  }
}

export const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

export class Game {
  // `page`: a path on disk, or an address.
  // `scale`: screen pixels to a CSS pixel.
  static async open(browserName, page, { javaScript = true, scale = 1 } = {}) {
    // Firefox over WebDriver BiDi turns scripts off only by preference. Chromium's emulated
    // scale is a resampled page; its own screen scale is the one a player's screen gives.
    const browser = await launch(browserName, {
      ...(javaScript ? {} : { extraPrefsFirefox: { 'javascript.enabled': false } }),
      scale,
    });
    const url = /^https?:/.test(page) ? page : pathToFileURL(page).href;
    const game = new Game(browser, await browser.newPage(), url);
    await game.page.setViewport({ width: 640, height: 480,
      deviceScaleFactor: browserName === 'chromium' ? 0 : scale });
    if (!javaScript && browserName !== 'firefox') {
      await game.page.setJavaScriptEnabled(false);
    }
    game.page.on('pageerror', (error) => game.errors.push(error.message));
    game.page.on('request', (request) => game.requests.push(request.url()));
    game.page.on('dialog', (dialog) => {
      game.browserDialogs.push(dialog.type());
      dialog.dismiss();
    });
    await game.page.goto(game.url);
    return game;
  }

  constructor(browser, page, url) {
    this.browser = browser;
    this.page = page;
    this.url = url;
    this.errors = [];
    this.requests = [];
    this.browserDialogs = [];
  }

  async close() {
    await this.browser.close();
  }

  async rect(selector) {
    return this.page.$eval(selector, (element) => {
      const box = element.getBoundingClientRect();
      return { x: box.left, y: box.top, width: box.width, height: box.height };
    });
  }

  async waitFor(step, condition, timeoutMs = 5000) {
    const deadline = Date.now() + timeoutMs;
    while (!(await condition())) {
      require(`${step}: in time`, Date.now() <= deadline);
      await pause(POLL_MS);
    }
  }

  // The game's window on the screen: its client area's place.
  async gameWindow(step) {
    await this.waitFor(step + ' (window shown)', () => this.page.$eval('#zintu-window',
      (element) => getComputedStyle(element).display !== 'none'));
    return this.rect('#zintu-client');
  }

  // The client area's top left `width` x `height` CSS pixels as painted, in device pixels.
  async screenshot(client, width = client.width, height = client.height) {
    return decodePng(await this.page.screenshot({
      type: 'png', clip: { x: client.x, y: client.y, width, height },
    }));
  }

  // The pads' colours as painted.
  async padColours(client) {
    const shot = await this.screenshot(client);
    return PAD_CENTRES.map(([x, y]) => shot.colourAt(x - 16, y - 16));
  }

  // Which pad is lit: null for none, -1 for more than one.
  async litPad(client) {
    const lit = (await this.padColours(client)).flatMap((colour, pad) =>
      colour === WHITE ? [pad] : []);
    return lit.length === 0 ? null : lit.length === 1 ? lit[0] : -1;
  }

  // The box on the page: its caption, text, buttons, and place; null while none is open.
  async box() {
    return this.page.$eval('#zintu-box', (box) => {
      if (!box.open) {
        return null;
      }
      const place = box.getBoundingClientRect();
      return {
        caption: box.querySelector('.caption').textContent,
        text: box.querySelector('p').textContent,
        buttons: Array.from(box.querySelectorAll('button'), (button) => button.textContent),
        focused: document.activeElement ? document.activeElement.textContent : '',
        centre: [place.left + place.width / 2, place.top + place.height / 2],
      };
    });
  }

  async expectBox(step, text) {
    await this.waitFor(step + ' (box open)', async () => (await this.box()) !== null,
      PLAYBACK_TIMEOUT_MS);
    const box = await this.box();
    check(`${step}: box "${box.caption}" says "${box.text}", one button "${box.buttons}" with ` +
      `the focus`, box.caption === 'Zintu' && box.text === text && box.buttons.length === 1 &&
      box.buttons[0] === 'OK' && box.focused === 'OK');
    return box;
  }

  // With a key a player may use: Return, Space or Escape.
  async answerBox(step, key = 'Enter') {
    await this.page.keyboard.press(key);
    await this.waitFor(`${step} (answered with ${key})`, async () => (await this.box()) === null);
  }

  // The pads lit one after another, until a box opens.
  async watchPlayback(step, client) {
    const seen = [];
    let previous = null;
    const deadline = Date.now() + PLAYBACK_TIMEOUT_MS;
    while ((await this.box()) === null) {
      require(`${step}: playback ends in time`, Date.now() < deadline);
      const lit = await this.litPad(client);
      require(`${step}: one pad lit at a time`, lit !== -1);
      if (lit !== null && lit !== previous) {
        seen.push(lit);
      }
      previous = lit;
    }
    return seen;
  }

  padCentre(client, pad) {
    return [client.x + PAD_CENTRES[pad][0], client.y + PAD_CENTRES[pad][1]];
  }

  async clickPad(client, pad, holdMs = 20) {
    const [x, y] = this.padCentre(client, pad);
    await this.page.mouse.move(x, y);
    await this.page.mouse.down();
    await pause(holdMs);
    await this.page.mouse.up();
    await pause(holdMs);
  }

  async tapPad(client, pad) {
    const [x, y] = this.padCentre(client, pad);
    await this.page.touchscreen.tap(x, y);
    await pause(20);
  }

  async pressPad(client, pad) {
    const [x, y] = this.padCentre(client, pad);
    await this.page.mouse.move(x, y);
    await this.page.mouse.down();
  }

  async label() {
    return this.page.$eval('#zintu-client > .form:not([hidden]) > .label',
      (label) => label.textContent);
  }

  async stored() {
    return this.page.evaluate(async () => {
      const storage = (name) => {
        try {
          return window[name].length;
        } catch {
          return 0;
        }
      };
      const databases = indexedDB.databases ? (await indexedDB.databases()).length : 0;
      return document.cookie.length + storage('localStorage') + storage('sessionStorage') +
        databases;
    });
  }
}
