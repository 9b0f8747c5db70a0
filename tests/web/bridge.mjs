// A browser for the end-to-end player: one headless Chromium or Firefox ESR page driven through
// puppeteer-core, answering one JSON request a line on stdin with one JSON line on stdout. The
// player asks for input and looks; the scenarios stay with it.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { setPriority } from 'node:os';
import { createInterface } from 'node:readline';

import { launch } from './browsers.mjs';
import { decodePng } from './png.mjs';

// A function of recorders.js called with its arguments inside the page, for what it returns.
const recorders = readFileSync(new URL('recorders.js', import.meta.url), 'utf8');
const recorder = (name, ...args) =>
  `(() => { ${recorders}; return ${name}(...${JSON.stringify(args)}); })()`;

const buttons = { 1: 'left', 2: 'middle', 3: 'right' };

const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'),
  'utf8');

class Session {
  // `priority`: the browser's, lower than the player's own where the player raised its.
  async open({ browser: name, url, scale = 1, javaScript = true, priority }) {
    this.browser = await launch(name, {
      scale,
      // Firefox over WebDriver BiDi turns scripts off only by preference.
      ...(javaScript ? {} : { extraPrefsFirefox: { 'javascript.enabled': false } }),
    });
    if (priority !== undefined) {
      setPriority(this.browser.process().pid, priority);
    }
    this.page = await this.browser.newPage();
    // Chromium takes its scale at launch; an emulated one would be a resampled page.
    await this.page.setViewport({ width: 640, height: 480,
      deviceScaleFactor: name === 'chromium' ? 0 : scale });
    if (!javaScript && name !== 'firefox') {
      await this.page.setJavaScriptEnabled(false);
    }
    this.errors = [];
    this.requests = [];
    this.dialogs = [];
    this.page.on('pageerror', (error) => this.errors.push(error.message));
    this.page.on('request', (request) => this.requests.push(request.url()));
    this.page.on('dialog', (dialog) => {
      this.dialogs.push(dialog.type());
      dialog.dismiss();
    });
    await this.page.evaluateOnNewDocument(recorder('recordPressedChanges'));
    await this.page.goto(url);
  }

  evaluate({ script }) {
    return this.page.evaluate(script);
  }

  watch({ points }) {
    return this.page.evaluate(recorder('recordFrames', points));
  }

  // The frames painted since the last call.
  frames() {
    return this.page.evaluate(() => window.zintuFrames.splice(0));
  }

  async mouse({ action, x, y, button = 1 }) {
    await this.page.mouse.move(x, y);
    if (action === 'down') {
      await this.page.mouse.down({ button: buttons[button] });
    } else if (action === 'up') {
      await this.page.mouse.up({ button: buttons[button] });
    }
  }

  tap({ x, y }) {
    return this.page.touchscreen.tap(x, y);
  }

  key({ key }) {
    return this.page.keyboard.press(key);
  }

  // Device pixels as RGB bytes, in base64.
  async screenshot({ clip }) {
    const shot = decodePng(await this.page.screenshot({ type: 'png', ...(clip ? { clip } : {}) }));
    const rgb = Buffer.alloc(shot.width * shot.height * 3);
    for (let y = 0; y < shot.height; ++y) {
      for (let x = 0; x < shot.width; ++x) {
        rgb.writeUIntLE(shot.colourAt(x, y), 3 * (y * shot.width + x), 3);
      }
    }
    return { width: shot.width, height: shot.height, pixels: rgb.toString('base64') };
  }

  // The pressed-state changes since the last call.
  pressedChanges() {
    return this.page.evaluate(() => window.zintuPressed.splice(0));
  }

  accessibilityTree() {
    return this.page.accessibility.snapshot({ interestingOnly: false });
  }

  // Assistive technology's activation of a button: a click with no pointer behind it.
  async pressAccessible({ role, name }) {
    const find = (node) => (node.role === role && node.name === name ? node :
      (node.children || []).map(find).find(Boolean));
    const node = find(await this.accessibilityTree());
    const element = await node.elementHandle();
    await element.evaluate((target) => target.click());
  }

  // Whether the tab is gone within `timeoutMs`; a page may ask first, as a dialog.
  async closeTab({ timeoutMs }) {
    const closed = new Promise((resolve) => this.page.once('close', resolve));
    await this.page.close({ runBeforeUnload: true });
    await Promise.race([closed, new Promise((resolve) => setTimeout(resolve, timeoutMs))]);
    return this.page.isClosed();
  }

  reload() {
    return this.page.reload();
  }

  // What keeps Chromium from offering to install the page as an app.
  async installabilityErrors() {
    const session = await this.page.createCDPSession();
    const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
    await session.detach();
    return installabilityErrors.map((error) => error.errorId);
  }

  async accessibilityViolations() {
    await this.page.evaluate(axeSource);
    return this.page.evaluate(recorder('accessibilityViolations'));
  }

  log() {
    return { errors: this.errors, requests: this.requests, dialogs: this.dialogs };
  }

  quit() {
    return this.browser ? this.browser.close() : undefined;
  }
}

const session = new Session();
for await (const line of createInterface({ input: process.stdin })) {
  const { op, ...args } = JSON.parse(line);
  let reply;
  try {
    reply = { value: await session[op](args) };
  } catch (error) {
    reply = { error: String(error && error.message || error) };
  }
  process.stdout.write(JSON.stringify(reply ?? {}) + '\n');
  if (op === 'quit') {
    process.exit(0);
  }
}
