// Runs a test program compiled to a web page in a headless browser, and exits with its status.
// The page asks for real input and reads the screen through `zintuInput` and `zintuPixel`,
// which go through the browser's automation protocol as a person's mouse and eyes would.
// Usage: node pagetests.mjs BROWSER PAGE.html [TEST ARGUMENTS...]
import { pathToFileURL } from 'node:url';

import { launch } from './browsers.mjs';
import { decodePng } from './png.mjs';

const timeoutMs = 240000;
const [browserName, pagePath, ...testArguments] = process.argv.slice(2);

const browser = await launch(browserName);
let status = 1;
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 640, height: 480 });
  page.on('console', (message) => console.log(message.text()));
  let finish;
  const finished = new Promise((resolve) => { finish = resolve; });
  page.on('pageerror', (error) => {
    console.error(`page error: ${error.message}\n${error.stack}`);
    finish(1);
  });
  await page.exposeFunction('zintuTestsDone', (result) => finish(result));
  await page.exposeFunction('zintuInput', async (action, x, y, button) => {
    await page.mouse.move(x, y);
    if (action === 'down') {
      await page.mouse.down({ button });
    } else if (action === 'up') {
      await page.mouse.up({ button });
    } else {
      await page.mouse.click(x, y, { count: action === 'double' ? 2 : 1 });
    }
  });
  await page.exposeFunction('zintuPixel', async (x, y) => {
    const shot = await page.screenshot({ clip: { x, y, width: 1, height: 1 }, type: 'png' });
    return decodePng(shot).colourAt(0, 0);
  });
  await page.evaluateOnNewDocument((args) => { window.Module = { arguments: args }; },
    testArguments);
  await page.goto(pathToFileURL(pagePath).href);
  const timedOut = new Promise((resolve) => setTimeout(() => {
    console.error(`no result after ${timeoutMs / 1000} s`);
    resolve(1);
  }, timeoutMs));
  status = await Promise.race([finished, timedOut]);
} finally {
  await browser.close();
}
process.exit(status);
