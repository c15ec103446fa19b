// TREVA's service worker: after the first visit the program works offline.
//
// Install keeps the files named in precache.json (written by the build beside
// this file) in a cache named after the build; activate drops the caches of
// older builds. Requests of this origin are answered from the cache first,
// then from the network, and what the network gives is kept too, so the 2x
// pictures work offline once they have been seen (the guide is in the list). Requests to
// other origins are left to the browser and never kept.
'use strict';

// The build stamps its version here, so that a new build is a new worker to
// the browser, which compares this file byte for byte.
const VERSION = '@TREVA_WEB_VERSION@';
// Caches are shared by the whole origin: the scope keeps apart two copies of
// the program served from different folders.
const PREFIX = `treva ${self.registration.scope} `;
const CACHE = PREFIX + VERSION;
const SHELL = new URL('index.html', self.registration.scope).href;

self.addEventListener('install', (event) => {
  event.waitUntil(
    (async () => {
      const response = await fetch('precache.json', {cache: 'no-store'});
      if (!response.ok) throw new Error(`precache.json: HTTP ${response.status}`);
      const list = await response.json();
      // A list from another build than this worker (a build landed in between)
      // fails the install; the browser tries again on a later visit.
      if (list.version !== VERSION) throw new Error(`precache.json is of build ${list.version}, not ${VERSION}`);
      const cache = await caches.open(CACHE);
      // "reload": straight from the server, never from the browser's HTTP cache.
      await cache.addAll(list.files.map((file) => new Request(file, {cache: 'reload'})));
      // A new build takes over at once instead of waiting for every window of
      // the old one to close.
      await self.skipWaiting();
    })(),
  );
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    (async () => {
      for (const name of await caches.keys()) {
        if (name.startsWith(PREFIX) && name !== CACHE) await caches.delete(name);
      }
      // The page of the first visit is then served (and its pictures kept) by
      // this worker without a reload.
      await self.clients.claim();
    })(),
  );
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  // A range answer (206) cannot be kept; such requests go to the network.
  if (request.headers.has('range')) return;
  event.respondWith(answer(event));
});

async function answer(event) {
  const request = event.request;
  const cache = await caches.open(CACHE);
  const navigation = request.mode === 'navigate';
  let url = request.url;
  if (navigation) {
    // The page reads its own query (index.html?drive); the document is the
    // same, and "./" is index.html.
    url = new URL(request.url);
    url.search = '';
    if (url.pathname.endsWith('/')) url.pathname += 'index.html';
    url = url.href;
  }
  const kept = await cache.match(url);
  if (kept) return kept;
  try {
    const response = await fetch(request);
    if (response.status === 200 && response.type === 'basic') {
      event.waitUntil(cache.put(url, response.clone()));
    }
    return response;
  } catch (error) {
    // Offline, a page never seen sends the reader to the
    // program; sent there rather than served in place, so that its relative
    // links resolve.
    if (navigation && url !== SHELL && (await cache.match(SHELL))) return Response.redirect(SHELL, 302);
    throw error;
  }
}
