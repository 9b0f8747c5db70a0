// Keeps Zintu! playable with no network: exactly the app's own files, in a cache named by their
// version. A new build comes with a new version, which the next visit installs, dropping the old.
'use strict';

const cacheName = 'zintu-@VERSION@';
const files = @FILES@;

self.addEventListener('install', (event) => {
  // Past the browser's own cache: a file it kept from an older build would outlive that build.
  const fresh = files.map((file) => new Request(file, { cache: 'reload' }));
  event.waitUntil(caches.open(cacheName).then((cache) => cache.addAll(fresh))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith('zintu-') &&
      name !== cacheName).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  event.respondWith(caches.open(cacheName)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((kept) => kept || fetch(event.request)));
});
