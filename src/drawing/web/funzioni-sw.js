// The service worker of the page funzioni.html served over https: a copy of the page, its
// manifest and its icons, so that it starts again without the network. The server comes first:
// whenever it answers, its answer is used (and kept), so a new page put on the server is seen
// at the next visit; the kept copy only stands in when the server cannot be reached. Nothing
// else of the folder or the site is touched: any other address goes to the network untouched.

'use strict';
const kCache = 'funzioni ' + self.registration.scope;
const kOwnFiles = ['funzioni.webmanifest', 'funzioni-192.png', 'funzioni-512.png'];

// The page (named by the address the page registered this worker with) and its files.
function keptAddresses() {
  const page = new URL(self.location.href).searchParams.get('pagina') || '';
  return [page].concat(kOwnFiles).map((name) => new URL(name, self.registration.scope).href);
}
const kKept = new Set(keptAddresses());

function withoutQuery(address) {
  const url = new URL(address);
  url.search = '';
  url.hash = '';
  return url.href;
}

function keep(cache, address, response) {
  if (!response.ok || response.type === 'opaqueredirect') return Promise.resolve();
  return cache.put(address, response);
}

self.addEventListener('install', (event) => {
  event.waitUntil(
      caches.open(kCache)
          .then((cache) => Promise.all([...kKept].map((address) =>
              fetch(address, {cache: 'no-cache'})
                  .then((response) => keep(cache, address, response))
                  .catch(() => {}))))
          .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(self.clients.claim());
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  const address = withoutQuery(request.url);
  if (!kKept.has(address)) return;
  event.respondWith(fetch(request).then(
      (response) => {
        const copy = response.clone();
        event.waitUntil(caches.open(kCache).then((cache) => keep(cache, address, copy)));
        return response;
      },
      (error) => caches.match(address, {cacheName: kCache})
                     .then((kept) => kept || Promise.reject(error))));
});
