// What the tests record and read inside the page, in every browser: the same text, run by puppeteer
// and by WebDriver, each of which has its own way to put it in the page.

// Runs in the page before the frame is painted: what each watched point will show. A look between
// two requests may come late on a busy machine; a frame never does.
function recordFrames(points) {
  const shown = () => points.map(([x, y]) => {
    const element = document.elementFromPoint(x, y);
    return element ? getComputedStyle(element).backgroundColor : '';
  });
  window.zintuFrames = [];
  let last = '';
  const frame = (time) => {
    const colours = shown();
    if (colours.join() !== last) {
      last = colours.join();
      window.zintuFrames.push({ time, colours });
    }
    requestAnimationFrame(frame);
  };
  requestAnimationFrame(frame);
}

// Runs before the page's own scripts: every change of a button's pressed state, as assistive
// technology hears it, in order. A screen reader's user hears each; a look at the tree between two
// requests may come after a short one has ended.
function recordPressedChanges() {
  window.zintuPressed = [];
  new MutationObserver((changes) => {
    for (const { target } of changes) {
      window.zintuPressed.push({ name: target.getAttribute('aria-label'),
        pressed: target.getAttribute('aria-pressed') === 'true' });
    }
  }).observe(document, { subtree: true, attributeFilter: ['aria-pressed'] });
}

// Runs before the page's own scripts, where the browser tells no one of the page's errors: each
// uncaught error, each rejection nobody handled and each thing the page's own security policy
// blocked.
function recordErrors() {
  window.zintuErrors = [];
  window.addEventListener('error', (event) => window.zintuErrors.push(event.message));
  window.addEventListener('unhandledrejection', (event) => window.zintuErrors.push(
    `unhandled rejection: ${event.reason && event.reason.message || event.reason}`));
  document.addEventListener('securitypolicyviolation', (event) => window.zintuErrors.push(
    `blocked by the page's policy (${event.effectiveDirective}): ${event.blockedURI}`));
}

// What axe-core, already in the page, finds there as it stands: each rule broken, with how many
// elements break it. Every WCAG rule axe-core knows, and its best practices, which its default run
// leaves to chance.
function accessibilityViolations() {
  const tags = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa', 'best-practice'];
  return window.axe.run(document, { runOnly: { type: 'tag', values: tags } }).then(
    ({ violations }) => violations.map((violation) => `${violation.id} (${violation.nodes.length})`));
}
