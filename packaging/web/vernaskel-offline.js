// The page offline and installable: registers the site's service worker,
// vernaskel-worker.js, which keeps the site's files (see there). It does so
// once the program has shown its rules (or stopped), so that filling the
// cache does not slow the first start. When a newer build's worker takes
// over a page that runs on the files before, the page's program and the
// server's files no longer match: the page then reloads instead of starting
// the program again in place (vernaskel-page.js asks window.vernaskelFilesReplaced).
'use strict';

(() => {
  if (!('serviceWorker' in navigator)) return;
  const ranOnKeptFiles = navigator.serviceWorker.controller !== null;
  navigator.serviceWorker.addEventListener('controllerchange', () => {
    if (ranOnKeptFiles) window.vernaskelFilesReplaced = true;
  });
  let registered = false;
  window.addEventListener('vernaskel', event => {
    if (registered || !['started', 'stopped', 'ended'].includes(event.detail.what)) return;
    registered = true;
    navigator.serviceWorker.register('vernaskel-worker.js').catch(error => {
      console.warn('Vernaskel will not work offline: ' + error.message);
    });
  });
})();
