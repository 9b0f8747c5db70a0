// The browsers the web page is tested and measured in: Debian's own Chromium and Firefox ESR,
// headless, driven by puppeteer-core with no browser download.
import puppeteer from 'puppeteer-core';

const browsers = {
  chromium: {
    browser: 'chrome',
    executablePath: '/usr/bin/chromium',
    // As root Chromium refuses its sandbox.
    args: (scale) => ['--no-sandbox', '--hide-scrollbars', `--force-device-scale-factor=${scale}`],
  },
  firefox: {
    browser: 'firefox',
    executablePath: '/usr/bin/firefox-esr',
    args: () => [],
  },
};

export const browserNames = Object.keys(browsers);

// `scale`: screen pixels to a CSS pixel, where the browser takes it at launch.
export function launch(name, { scale = 1, ...options } = {}) {
  const chosen = browsers[name];
  if (!chosen) {
    throw new Error(`no browser ${name}; there are ${browserNames.join(', ')}`);
  }
  return puppeteer.launch({ headless: true, ...chosen, ...options, args: chosen.args(scale) });
}
