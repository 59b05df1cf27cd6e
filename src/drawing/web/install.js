// Served by a web server over https (or from this computer), the page can be installed as an
// application and keeps working without the network: it names its manifest and registers its
// service worker, two files that lie beside it (funzioni.webmanifest, funzioni-sw.js). Opened
// from a file, or served over plain http, it does neither and asks for nothing. Where the server
// has only the page, nothing is installed; where the service worker was removed from the server,
// the copy a browser kept is dropped at the next visit made online.

(function () {
  'use strict';
  if (typeof window !== 'object' || typeof document !== 'object') return;  // the plot's workers
  const kManifest = 'funzioni.webmanifest';
  const kWorker = 'funzioni-sw.js';
  const kCachePrefix = 'funzioni ';  // + the scope: the service worker's cache
  if (location.protocol !== 'https:' && location.protocol !== 'http:') return;
  if (!window.isSecureContext || !navigator.serviceWorker) return;

  function nameManifest() {
    if (document.querySelector('link[rel="manifest"]') !== null) return;
    const link = document.createElement('link');
    link.rel = 'manifest';
    link.href = kManifest;
    document.head.appendChild(link);
  }

  // Only a server that answers that the service worker is gone (not one out of reach) ends the
  // registration and its copy of the page.
  function forgetIfRemoved() {
    fetch(kWorker, {cache: 'no-store'})
        .then((response) => {
          if (response.status !== 404 && response.status !== 410) return null;
          const link = document.querySelector('link[rel="manifest"]');
          if (link !== null) link.remove();
          return navigator.serviceWorker.getRegistration().then((registration) => {
            if (registration === undefined) return null;
            return registration.unregister().then(
                () => caches.delete(kCachePrefix + registration.scope));
          });
        })
        .catch(() => {});
  }

  // The worker's address names the page, so that it keeps this page and nothing else of its
  // folder.
  function register() {
    const page = location.pathname.slice(location.pathname.lastIndexOf('/') + 1);
    navigator.serviceWorker.register(kWorker + '?pagina=' + encodeURIComponent(page))
        .then((registration) => {
          nameManifest();
          // An earlier registration is not fetched again by registering: asked for explicitly.
          if (registration.active !== null) registration.update().catch(forgetIfRemoved);
        }, forgetIfRemoved);
  }

  if (document.readyState === 'complete') {
    register();
  } else {
    window.addEventListener('load', register);
  }
})();
