// Keeps Zintu! playable with no network: exactly the app's own files, in a cache named by their
// version. A new build comes with a new version, which the next visit installs, dropping the old.
'use strict';

const cacheName = 'zintu-@VERSION@';
// Each file with its digest. A host caught half way through a deploy still serves some files of
// the version before: their digests differ, the install fails, and the version before plays on
// until the next visit finds every file of this one.
const files = @FILES@;

self.addEventListener('install', (event) => {
  event.waitUntil(keepEveryFile().then(() => self.skipWaiting()));
});

async function keepEveryFile() {
  // Past the browser's own cache: a file it kept from an older build would outlive that build.
  const responses = await Promise.all(Object.entries(files).map(async ([file, integrity]) => {
    const response = await fetch(new Request(file, { cache: 'reload', integrity }));
    if (!response.ok) {
      throw new TypeError(`${file}: ${response.status} ${response.statusText}`);
    }
    return [file, response];
  }));
  const cache = await caches.open(cacheName);
  try {
    await Promise.all(responses.map(([file, response]) => cache.put(file, response)));
  } catch (failure) {
    // A version that did not install leaves nothing behind: the next visit starts it afresh.
    await caches.delete(cacheName);
    throw failure;
  }
}

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith('zintu-') &&
      name !== cacheName).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// Anything else, sw.js among them, goes to the host as if no worker were here.
const kept = new Set(Object.keys(files).map((file) => new URL(file, self.location).href));

self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  url.search = '';
  if (kept.has(url.href)) {
    event.respondWith(caches.open(cacheName)
      .then((cache) => cache.match(event.request, { ignoreSearch: true }))
      .then((copy) => copy || fetch(event.request)));
  }
});
