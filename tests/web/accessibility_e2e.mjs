// Plays a level-1 round of the real zintu.html as a screen reader's user does, through the
// browser's accessibility tree alone: follows the playback by the pads' pressed state, reads
// the alert dialogs, and answers with the pads' press actions.
// Usage: node accessibility_e2e.mjs PAGE.html
import { check, Game, PAD_NAMES, pause, require, StepFailed } from './game.mjs';

const [pagePath] = process.argv.slice(2);
const padNames = PAD_NAMES.map((name) => name[0].toUpperCase() + name.slice(1) + ' pad');
const pollMs = 30;
const timeoutMs = 10000;

function find(node, test) {
  if (test(node)) {
    return node;
  }
  for (const child of node.children || []) {
    const found = find(child, test);
    if (found) {
      return found;
    }
  }
  return null;
}

async function tree(game) {
  return game.page.accessibility.snapshot({ interestingOnly: false });
}

function pads(root) {
  const region = find(root, (node) => node.role === 'region' && node.name === 'Zintu!');
  return region ? padNames.map((name) => find(region, (node) => node.role === 'button' &&
    node.name === name)) : [];
}

function alert(root) {
  return find(root, (node) => node.role === 'alertdialog');
}

async function expectAlert(game, step, text) {
  const deadline = Date.now() + timeoutMs;
  let box = null;
  while (!(box = alert(await tree(game)))) {
    require(`${step}: an alert dialog opens in time`, Date.now() < deadline);
    await pause(pollMs);
  }
  check(`${step}: alert dialog "${box.name}" reads "${box.description}"`,
    box.name === 'Zintu' && box.description === text);
  const ok = find(box, (node) => node.role === 'button');
  check(`${step}: its one button "${ok && ok.name}" has the focus`,
    ok && ok.name === 'OK' && ok.focused === true);
}

async function answerAlert(game, step) {
  await game.page.keyboard.press('Enter');
  const deadline = Date.now() + timeoutMs;
  while (alert(await tree(game))) {
    require(`${step}: the alert dialog goes`, Date.now() < deadline);
    await pause(pollMs);
  }
}

// The pads pressed one after another in the tree, until the alert dialog opens.
async function followPlayback(game) {
  const seen = [];
  let previous = null;
  const deadline = Date.now() + timeoutMs;
  for (;;) {
    const root = await tree(game);
    if (alert(root)) {
      return seen;
    }
    const pressed = pads(root).flatMap((pad, index) => pad && pad.pressed === true ? [index] : []);
    require('one pad pressed at a time', pressed.length <= 1);
    const lit = pressed.length === 1 ? pressed[0] : null;
    if (lit !== null && lit !== previous) {
      seen.push(lit);
    }
    previous = lit;
    require('the playback ends in time', Date.now() < deadline);
    await pause(pollMs);
  }
}

async function pressAction(game, pad) {
  const node = pads(await tree(game))[pad];
  const element = await node.elementHandle();
  // What assistive technology's activation of a button is on a page: a click with no pointer.
  await element.evaluate((button) => button.click());
}

async function playARound(game) {
  const root = await tree(game);
  const found = pads(root);
  check(`the game is a region "Zintu!" with buttons ${padNames.join(', ')}, none pressed`,
    found.length === 4 && found.every((pad) => pad && pad.pressed === false));
  const pattern = await followPlayback(game);
  check(`the playback is followed by the pressed state: ${pattern.map((p) => padNames[p])}`,
    pattern.length === 1);
  await expectAlert(game, 'level 1', 'GO!');
  await answerAlert(game, 'level 1');
  await pressAction(game, pattern[0]);
  await expectAlert(game, 'level 1 complete', 'Ready for level 2?');
}

const game = await Game.open('chromium', pagePath);
try {
  await playARound(game);
  check(`no error on the page (${game.errors.join('; ') || 'none'})`, game.errors.length === 0);
  console.log('all checks passed');
} catch (error) {
  if (!(error instanceof StepFailed)) {
    throw error;
  }
  process.exitCode = 1;
} finally {
  await game.close();
}
