// The benchmark's probe of the web page: zintu.html against the bare page holding the same
// "Zintu!" window with one "Level: 1" label, in headless Chromium: start-up and memory
// alternately, with the game's page as it stands once shown, its script taken out, beside
// them; then one longer game for the waiting cost, the level-N playback's rhythm, "GO!", the
// beat in a hidden tab and the pointer's latency; and the beat in a hidden tab in Firefox ESR,
// which throttles a hidden page's timers. Every time is the page's own: its paint timing, the
// changes' own times against their due times, and the input events' time stamps. Writes its
// figures as JSON; bench/measure.py judges them.
// Usage: node web_probe.mjs ZINTU.html LABEL-FONT.woff2 --design JSON [--runs N]
//        [--rhythm-level L] [--json FILE]
// JSON: the window's design in pixels, as bench/measure.py passes it.
import { readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

import { launch } from '../tests/web/browsers.mjs';

const hiddenLevel = 5;
const WAIT_MS = 10000;

const args = process.argv.slice(2);
const option = (name, fallback) => {
  const at = args.indexOf(name);
  return at >= 0 ? args[at + 1] : fallback;
};
const [gamePath, fontPath] = args;
const runs = Number(option('--runs', 10));
const rhythmLevel = Number(option('--rhythm-level', 20));
const jsonPath = option('--json', 'web-bench-results.json');
const { PAD_CENTRES, OFF_PADS, LIGHT_UP_INTERVAL_MS: PHASE_MS } = JSON.parse(option('--design'));
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const round = (value, places = 2) => Number(value.toFixed(places));

function referencePage() {
  const font = readFileSync(fontPath).toString('base64');
  const html = readFileSync(new URL('reference.html', import.meta.url), 'utf8')
    .replace('@LABEL_FONT@', font);
  const path = join(tmpdir(), 'zintu-bench-reference.html');
  writeFileSync(path, html);
  return path;
}

// The game's page as it stands once its window shows, its program's bytes still in it but no
// script to run: what the page's own size and looks cost its first frame before the program
// does anything. Without its policy, which would refuse the style attributes the program set.
async function scriptlessPage(browser, path) {
  const page = await browser.newPage();
  await page.goto(pathToFileURL(path).href);
  await page.waitForFunction(() => !document.getElementById('zintu-window').hidden);
  const html = await page.evaluate(() => `<!doctype html>\n${document.documentElement.outerHTML}`);
  await page.close();
  const scriptless = join(tmpdir(), 'zintu-bench-scriptless.html');
  writeFileSync(scriptless, html.replace(/<meta http-equiv="Content-Security-Policy"[^>]*>/, '')
    .replace(/<script>[\s\S]*?<\/script>/g, ''));
  return scriptless;
}

// In the page from its first moment: every change to a pad, the label and the box, each with
// the time the frame that paints it is drawn (read as the complete frame's is, below).
function recordChanges() {
  window.zintuChanges = [];
  const observer = new MutationObserver((mutations) => {
    const now = performance.now();
    const changes = [];
    for (const mutation of mutations) {
      const target = mutation.target instanceof Element ? mutation.target
        : mutation.target.parentElement;
      const pressed = target && target.getAttribute('aria-pressed');
      if (target && target.matches('.pad') && mutation.attributeName === 'aria-pressed' &&
          mutation.oldValue !== null && mutation.oldValue !== pressed) {
        // A form's pads stand in the order they were loaded, pad 0 first.
        const pad = [...target.parentElement.querySelectorAll('.pad')].indexOf(target);
        changes.push({ what: 'pad', pad, lit: pressed === 'true' });
      } else if (target && target.matches('dialog') && mutation.attributeName === 'open') {
        changes.push({ what: target.open ? 'box' : 'box closed',
          text: target.querySelector('p').textContent });
      } else if (target && target.matches('.label') && mutation.type !== 'attributes') {
        changes.push({ what: 'label', text: target.textContent });
      }
    }
    if (changes.length === 0) {
      return;
    }
    const recorded = changes.map((change) => ({ ...change, at: now, painted: null }));
    window.zintuChanges.push(...recorded);
    requestAnimationFrame(() => {
      const drawn = performance.now();
      recorded.forEach((change) => { change.painted = drawn; });
    });
  });
  document.addEventListener('DOMContentLoaded', () => observer.observe(document.body,
    { subtree: true, attributes: true, attributeOldValue: true, childList: true,
      characterData: true }));
  window.zintuDowns = [];
  document.addEventListener('pointerdown', (event) => window.zintuDowns.push(event.timeStamp),
    true);
}

// From the page's first moment: when the first frame that shows the window complete is drawn,
// its label reading "Level: 1" in its loaded font, with its four pads where the page has any.
// The clock is read in that frame's callback, not taken from its timestamp: Chromium stamps a
// frame with the moment it was due, even when a long task held its drawing back for 50 ms.
function watchCompleteFrame() {
  const complete = () => {
    const label = document.querySelector('.label');
    if (!label || label.offsetParent === null || label.textContent !== 'Level: 1' ||
        !document.fonts.check(getComputedStyle(label).font)) {
      return false;
    }
    const pads = [...document.querySelectorAll('.pad')].filter((pad) => pad.offsetParent);
    return pads.length === (document.getElementById('zintu-window') ? 4 : 0);
  };
  const frame = () => {
    if (complete()) {
      window.zintuCompleteFrame = performance.now();
    } else {
      requestAnimationFrame(frame);
    }
  };
  requestAnimationFrame(frame);
}

async function startUp(browser, path) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(watchCompleteFrame);
  await page.goto(pathToFileURL(path).href);
  const complete = await (await page.waitForFunction(() => window.zintuCompleteFrame,
    { polling: 50 })).jsonValue();
  await pause(1500);
  const metrics = await page.metrics();
  const wasm = await page.evaluate(() => (typeof HEAP8 === 'undefined' ? 0 : HEAP8.length));
  await page.close();
  return { complete, heap: metrics.JSHeapUsedSize, wasm };
}

async function changes(page) {
  return page.evaluate(() => window.zintuChanges.splice(0));
}

async function waitForBox(page, text) {
  await page.waitForFunction((expected) => {
    const box = document.getElementById('zintu-box');
    return box.open && box.querySelector('p').textContent === expected;
  }, { polling: 'mutation', timeout: 300000 }, text);
}

async function answer(page) {
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => !document.getElementById('zintu-box').open,
    { polling: 'mutation' });
}

async function clientCorner(page) {
  return page.$eval('#zintu-client', (element) => {
    const box = element.getBoundingClientRect();
    return { x: box.left, y: box.top };
  });
}

async function clickPad(page, client, pad) {
  const [x, y] = PAD_CENTRES[pad];
  await page.mouse.click(client.x + x, client.y + y);
}

// One level: its playback's changes as recorded, then the pattern clicked back, after
// `duringTurn` has run.
async function playLevel(page, level, duringTurn) {
  await waitForBox(page, 'GO!');
  const recorded = await changes(page);
  const pattern = recorded.filter((change) => change.what === 'pad' && change.lit)
    .map((change) => change.pad);
  await answer(page);
  await duringTurn();
  const client = await clientCorner(page);
  for (const pad of pattern) {
    await clickPad(page, client, pad);
  }
  await waitForBox(page, `Ready for level ${level + 1}?`);
  // The clicks' own changes; the next level's start from its load, after this box.
  await changes(page);
  await answer(page);
  return recorded;
}

// The phases between the pads' changes, by the time each was made. (By the frames that paint
// them the phases say nothing: headless Chromium paints exactly 60 frames a second, and 300 ms
// is exactly 18 of them.)
function phasesOf(recorded) {
  const pads = recorded.filter((change) => change.what === 'pad');
  const deviations = pads.slice(1).map((change, i) =>
    Math.abs(change.at - pads[i].at - PHASE_MS));
  return { phases: deviations.length, medianDeviationMs: round(median(deviations)),
    worstDeviationMs: round(Math.max(...deviations)) };
}

function painting(recorded, level) {
  const load = recorded.find((change) => change.what === 'label');
  const go = recorded.find((change) => change.what === 'box');
  const frameMs = 1000 / 60;
  return {
    // Each change is painted by the first frame after it is made.
    paintedInItsFrame: recorded.filter((change) => change.what === 'pad')
      .every((change) => change.painted - change.at <= frameMs),
    goLateMs: round(go.at - load.at - level * 2 * PHASE_MS),
  };
}

// The CPU the page's main thread spends while the game waits for the player, and its tasks.
async function waitingCost(page) {
  const client = await page.target().createCDPSession();
  await client.send('Performance.enable');
  const read = async () => Object.fromEntries((await client.send('Performance.getMetrics'))
    .metrics.map((metric) => [metric.name, metric.value]));
  const before = await read();
  await pause(WAIT_MS);
  const after = await read();
  return {
    cpuMs: round((after.TaskDuration - before.TaskDuration) * 1000),
    scriptMs: round((after.ScriptDuration - before.ScriptDuration) * 1000),
  };
}

// Pressed in the next level's turn, and released off the pads, so that no click is judged.
async function latencies(page, presses = 20) {
  await waitForBox(page, 'GO!');
  await answer(page);
  const client = await clientCorner(page);
  await changes(page);
  const results = [];
  for (let i = 0; i < presses; ++i) {
    const [x, y] = PAD_CENTRES[i % 4];
    await page.mouse.move(client.x + x, client.y + y);
    await page.evaluate(() => { window.zintuDowns.length = 0; });
    await page.mouse.down();
    await page.waitForFunction(() => window.zintuChanges.some((change) => change.lit &&
      change.painted !== null), { polling: 'raf' });
    const [change] = (await changes(page)).filter((c) => c.lit);
    const [down] = await page.evaluate(() => window.zintuDowns);
    results.push(change.painted - down);
    await page.mouse.move(client.x + OFF_PADS[0], client.y + OFF_PADS[1]);
    await page.mouse.up();
    await pause(50);
    await changes(page);
  }
  return { medianMs: round(median(results)), worstMs: round(Math.max(...results)) };
}

// The bare page's own cost of doing nothing, for comparison with the game's while it waits.
async function idleCost(browser, path) {
  const page = await browser.newPage();
  await page.goto(pathToFileURL(path).href);
  await pause(1000);
  const cost = await waitingCost(page);
  await page.close();
  return cost;
}

// One game to level L: the waiting cost at level 1's turn, level 5 played back in a hidden tab,
// level L's playback timed; then the pointer's latency.
async function longGame(browser) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(recordChanges);
  await page.goto(pathToFileURL(gamePath).href);
  const result = {};
  for (let level = 1; level <= rhythmLevel; ++level) {
    console.error(`level ${level}`);
    const front = level === hiddenLevel ? await behind(browser) : null;
    const recorded = await playLevel(page, level, async () => {
      if (level === 1) {
        result.waiting = await waitingCost(page);
      }
    });
    if (front) {
      result.hidden = { visibility: front.visibility, ...phasesOf(recorded) };
      await page.bringToFront();
      await front.page.close();
    }
    if (level === rhythmLevel) {
      result.rhythm = { ...phasesOf(recorded), ...painting(recorded, level) };
    }
  }
  result.latency = await latencies(page);
  await page.close();
  return result;
}

// Firefox holds a hidden page's own timers to about one a second: level 5 played back behind
// another tab there.
async function hiddenInFirefox() {
  const browser = await launch('firefox', { protocolTimeout: 600000 });
  try {
    const page = await browser.newPage();
    await page.evaluateOnNewDocument(recordChanges);
    await page.goto(pathToFileURL(gamePath).href);
    for (let level = 1; level < hiddenLevel; ++level) {
      await playLevel(page, level, async () => {});
    }
    const front = await behind(browser);
    await waitForBox(page, 'GO!');
    const recorded = await changes(page);
    return { browser: await browser.version(), visibility: front.visibility,
      ...phasesOf(recorded) };
  } finally {
    await browser.close();
  }
}

// Another tab in front of the game's.
async function behind(browser) {
  const pages = await browser.pages();
  const game = pages[pages.length - 1];
  const page = await browser.newPage();
  await page.bringToFront();
  return { page, visibility: await game.evaluate(() => document.visibilityState) };
}

const referencePath = referencePage();
const browser = await launch('chromium', { protocolTimeout: 600000 });
try {
  const scriptlessPath = await scriptlessPage(browser, gamePath);
  const samples = { game: [], reference: [], scriptless: [] };
  for (let run = 0; run < runs; ++run) {
    samples.game.push(await startUp(browser, gamePath));
    samples.reference.push(await startUp(browser, referencePath));
    samples.scriptless.push(await startUp(browser, scriptlessPath));
  }
  const field = (kind, name) => median(samples[kind].map((sample) => sample[name]));
  const gzipped = (path) => gzipSync(readFileSync(path), { level: 9 }).length;
  const results = {
    browser: await browser.version(),
    runs,
    completeFrameMs: { game: round(field('game', 'complete')),
      reference: round(field('reference', 'complete')),
      ratio: round(field('game', 'complete') / field('reference', 'complete')),
      scriptless: round(field('scriptless', 'complete')),
      scriptlessRatio: round(field('scriptless', 'complete') / field('reference', 'complete')) },
    gzippedBytes: { game: gzipped(gamePath), reference: gzipped(referencePath) },
    jsHeapBytes: { game: field('game', 'heap'), reference: field('reference', 'heap') },
    wasmMemoryBytes: field('game', 'wasm'),
    referenceWaiting: await idleCost(browser, referencePath),
    ...(await longGame(browser)),
    hiddenInFirefox: await hiddenInFirefox(),
  };
  writeFileSync(jsonPath, JSON.stringify(results, null, 2) + '\n');
} finally {
  await browser.close();
}
