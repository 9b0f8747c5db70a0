// Plays the real zintu.html, opened from disk, as a person would: learns each pattern from the
// painted pixels, reads every box, answers it with Return, Space or Escape, clicks with the
// browser's real pointer input, and closes the tab or the window at the moments a player can.
// Every check prints a line; a failure names the step that went wrong.
// Usage: node play_e2e.mjs BROWSER PAGE.html LEVELS
import { readFile } from 'node:fs/promises';
import { createServer } from 'node:http';

import { check, Game, pause, PAD_COLOURS, PAD_NAMES, StepFailed, WHITE } from './game.mjs';

const [browserName, pagePath, levelsArgument] = process.argv.slice(2);
const levels = Number(levelsArgument);
const answerKeys = ['Enter', ' ', 'Escape'];
const quietMs = 900;

function rating(level) {
  if (level < 5) {
    return `You got to level ${level}. You should practice more.`;
  }
  if (level < 10) {
    return `You reached level ${level}. That's good, but you should try again.`;
  }
  if (level < 20) {
    return `You achieved level ${level}! That's really good!`;
  }
  return `Wow! Level ${level} is really hard to get to!`;
}

const centre = (rect) => [rect.x + rect.width / 2, rect.y + rect.height / 2];
const distance = ([ax, ay], [bx, by]) => Math.abs(ax - bx) + Math.abs(ay - by);

// Wrong clicks at the levels that earn each rating within reach.
async function playLevels(game) {
  const wrongAt = new Set([2, 6, 10].filter((level) => level <= levels));
  let earlier = [];
  let client = await game.gameWindow('start');
  await game.page.$eval('#zintu-window', (element) => { window.firstWindow = element; });
  let answers = 0;
  const answer = (step) => game.answerBox(step, answerKeys[answers++ % answerKeys.length]);
  for (let level = 1; level <= levels; ++level) {
    const step = `level ${level}`;
    check(`${step}: the label reads "Level: ${level}"`, (await game.label()) === `Level: ${level}`);
    const seen = await game.watchPlayback(step + ' playback', client);
    check(`${step}: ${seen.length} pads played, ${seen.map((pad) => PAD_NAMES[pad]).join(', ')}`,
      seen.length === level);
    check(`${step}: the pattern starts as the last level's did`,
      seen.slice(0, -1).join() === earlier.join());
    earlier = seen;
    const go = await game.expectBox(step + ' GO', 'GO!');
    const frame = await game.rect('#zintu-window');
    check(`${step}: the box is centred over the window`,
      distance(go.centre, centre(frame)) <= 2);
    await answer(step);
    if (wrongAt.has(level)) {
      await game.clickPad(client, (seen[0] + 1) % 4);
      await game.expectBox(step + ' wrong click', rating(level));
      await answer(step);
    }
    // A finger plays level 1: touch acts as the mouse does.
    for (const pad of seen) {
      await (level === 1 ? game.tapPad(client, pad) : game.clickPad(client, pad));
    }
    await game.expectBox(step + ' complete', `Ready for level ${level + 1}?`);
    await answer(step);
    const after = await game.gameWindow(step + ' reload');
    const same = await game.page.$eval('#zintu-window',
      (element) => element === window.firstWindow);
    check(`${step}: the next level plays in the same window, in the same place`,
      same && after.x === client.x && after.y === client.y);
    client = after;
  }
  const foreign = game.requests.filter((url) => url !== game.url && !/^(data|blob):/.test(url));
  check(`no request beyond the page's own file (${foreign.join(' ') || 'none'})`,
    foreign.length === 0);
  check('nothing stored: no cookie, web storage or database', (await game.stored()) === 0);
}

// From a static web host, as from disk: a level-up, and nothing fetched but the page.
async function fromAWebHost() {
  const body = await readFile(pagePath);
  const server = createServer((request, response) => {
    response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
    response.end(body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const game = await Game.open(browserName, `http://127.0.0.1:${server.address().port}/zintu.html`);
  try {
    const step = 'from a web host';
    const client = await game.gameWindow(step);
    const seen = await game.watchPlayback(step, client);
    await game.expectBox(step, 'GO!');
    await game.answerBox(step);
    await game.clickPad(client, seen[0]);
    await game.expectBox(step, 'Ready for level 2?');
    const fetched = game.requests.filter((url) => !/^(data|blob):/.test(url));
    check(`${step}: only the page itself requested (${fetched.join(' ')})`,
      fetched.length === 1 && fetched[0] === game.url);
    check(`${step}: no error on the page (${game.errors.join('; ') || 'none'})`,
      game.errors.length === 0);
  } finally {
    await game.close();
    server.close();
  }
}

// At every zoom and device pixel ratio the pads tile their square edge to edge: across each
// boundary between pads, every screen pixel is one pad's colour or white, never a blend of two
// or the window's orange showing through. A browser's own rounding of a position to its
// sixty-fourth of a pixel may tint one by a few levels; the clip's outer pixels are left out.
// The game opens at each ratio; a change of ratio while it runs lays it out anew the same way.
async function sharpAtAnyScale() {
  const nearly = (a, b) => [0, 8, 16].every((shift) =>
    Math.abs(((a >> shift) & 255) - ((b >> shift) & 255)) <= 8);
  const allowed = [...PAD_COLOURS, WHITE];
  for (const scale of [1.25, 1.5, 2, 3]) {
    const game = await Game.open(browserName, pagePath, { scale });
    try {
      const client = await game.gameWindow(`at ${scale} x`);
      const shot = await game.screenshot(client, 133, 133);
      const side = shot.width;
      let strays = 0;
      // Lines through the middles of the pads' rows and columns cross every boundary.
      const middles = [Math.floor(side / 4), Math.floor((3 * side) / 4)];
      for (let i = 1; i < side - 1; ++i) {
        for (const [x, y] of middles.flatMap((m) => [[i, m], [m, i]])) {
          strays += allowed.some((colour) => nearly(shot.colourAt(x, y), colour)) ? 0 : 1;
        }
      }
      check(`at ${scale} screen pixels a CSS pixel, the lines across the pads' ${side} x ` +
        `${side} pixels show only pads (${strays} other)`, strays === 0);
    } finally {
      await game.close();
    }
  }
}

async function waitForLitPad(game, step) {
  const client = await game.gameWindow(step);
  await game.waitFor(step + ' (a pad lit)', async () => (await game.litPad(client)) !== null);
  return client;
}

// Closing the tab is never held up, whatever the game is doing.
async function closeTab(game, step) {
  await game.page.close({ runBeforeUnload: true });
  await pause(100);
  check(`${step}: the tab closes, with no question asked`,
    game.page.isClosed() && game.browserDialogs.length === 0);
}

async function closeTabDuringPlayback(game) {
  await waitForLitPad(game, 'close the tab during playback');
  await closeTab(game, 'close the tab during playback');
}

async function closeTabDuringPlayersTurn(game) {
  const step = 'close the tab during the player\'s turn';
  const client = await game.gameWindow(step);
  await game.expectBox(step, 'GO!');
  await game.answerBox(step);
  await game.pressPad(client, 0);
  await game.waitFor(step + ' (pad held)', async () => (await game.litPad(client)) === 0);
  await closeTab(game, step);
}

async function closeTabOverABox(game) {
  const step = 'close the tab over a box';
  await game.expectBox(step, 'GO!');
  await closeTab(game, step);
}

// The window's own close button ends the game, but not while a box is open; then the page says
// so and goes quiet.
async function closeTheWindow(game) {
  const step = 'close the window';
  await game.expectBox(step + ' over GO', 'GO!');
  const [x, y] = centre(await game.rect('#zintu-close'));
  await game.page.mouse.click(x, y);
  check(`${step}: refused while the box is open`, (await game.box()) !== null);
  await game.answerBox(step);
  await game.page.mouse.click(x, y);
  const endedLine = () => game.page.$eval('#zintu-ended', (line) =>
    getComputedStyle(line).display !== 'none' ? line.textContent : '');
  await game.waitFor(step + ' (ended)', async () => (await endedLine()) !== '');
  const ended = await endedLine();
  const shown = await game.page.$eval('#zintu-window',
    (element) => getComputedStyle(element).display !== 'none');
  check(`${step}: the window goes and the page says "${ended}"`, !shown && ended !== '');
  const before = await game.page.screenshot({ type: 'png' });
  await pause(quietMs);
  const later = await game.page.screenshot({ type: 'png' });
  check(`${step}: nothing changes on the page afterwards`, before.equals(later));
}

async function withoutJavaScript(game) {
  const line = await game.page.$eval('noscript', (element) => element.textContent.trim());
  const shown = await game.page.evaluate(() => document.body.innerText.trim());
  check(`without JavaScript the page says "${shown}"`, shown === line && line !== '');
}

async function inAGame(scenario, options) {
  const game = await Game.open(browserName, pagePath, options);
  try {
    await scenario(game);
    check(`${scenario.name}: no error on the page (${game.errors.join('; ') || 'none'})`,
      game.errors.length === 0);
  } finally {
    await game.close();
  }
}

try {
  console.log(`playing ${pagePath} in ${browserName}, ${levels} levels`);
  await inAGame(playLevels);
  await inAGame(closeTabDuringPlayback);
  await inAGame(closeTabDuringPlayersTurn);
  await inAGame(closeTabOverABox);
  await inAGame(closeTheWindow);
  await sharpAtAnyScale();
  await inAGame(withoutJavaScript, { javaScript: false });
  await fromAWebHost();
  console.log('all checks passed');
} catch (error) {
  if (!(error instanceof StepFailed)) {
    throw error;
  }
  process.exit(1);
}
