// The benchmark's Lighthouse runs over the web page served from 127.0.0.1, in Debian's Chromium:
// three with Lighthouse's mobile defaults (a mid-range phone, simulated), one with its desktop
// settings. Writes the scores and the mobile runs' total blocking time as JSON.
// Usage: node lighthouse_probe.mjs ZINTU.html --json FILE [--mobile-runs N]
import { createReadStream, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { basename, dirname, join } from 'node:path';

import * as chromeLauncher from 'chrome-launcher';
import lighthouse from 'lighthouse';
import desktopConfig from 'lighthouse/core/config/desktop-config.js';

const args = process.argv.slice(2);
const option = (name, fallback) => {
  const at = args.indexOf(name);
  return at >= 0 ? args[at + 1] : fallback;
};
const [pagePath] = args;
const mobileRuns = Number(option('--mobile-runs', 3));
const categories = ['performance', 'accessibility', 'best-practices', 'seo'];

// The page as a static host serves it.
function serve(path) {
  const server = createServer((request, response) => {
    if (new URL(request.url, 'http://127.0.0.1').pathname !== `/${basename(path)}`) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
    createReadStream(join(dirname(path), basename(path))).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

async function audit(url, config) {
  // As root Chromium refuses its sandbox.
  const chrome = await chromeLauncher.launch({
    chromePath: '/usr/bin/chromium', chromeFlags: ['--headless=new', '--no-sandbox'] });
  try {
    const { lhr } = await lighthouse(url, { port: chrome.port, output: 'json',
      onlyCategories: categories, logLevel: 'error' }, config);
    const scores = Object.fromEntries(categories.map((name) =>
      [name, Math.round(lhr.categories[name].score * 100)]));
    return { scores, totalBlockingTimeMs: lhr.audits['total-blocking-time'].numericValue };
  } finally {
    await chrome.kill();
  }
}

const server = await serve(pagePath);
try {
  const url = `http://127.0.0.1:${server.address().port}/${basename(pagePath)}`;
  const mobile = [];
  for (let run = 0; run < mobileRuns; ++run) {
    mobile.push(await audit(url));
  }
  const desktop = await audit(url, desktopConfig);
  const results = {
    mobile,
    mobileWorstPerformance: Math.min(...mobile.map((run) => run.scores.performance)),
    mobileWorstTotalBlockingTimeMs: Math.max(...mobile.map((run) => run.totalBlockingTimeMs)),
    desktop,
    desktopWorstScore: Math.min(...Object.values(desktop.scores)),
  };
  writeFileSync(option('--json', 'lighthouse.json'), JSON.stringify(results, null, 2) + '\n');
} finally {
  server.close();
}
