// After the first visit the page works with no network: its service worker keeps every file.
// It is registered once the page has loaded, so that its copying never slows the first start.
if ('serviceWorker' in navigator)
  window.addEventListener('load', () => navigator.serviceWorker.register('sw.js'));
