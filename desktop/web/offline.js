// After the first visit the page works with no network: its service worker keeps every file.
if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js');
