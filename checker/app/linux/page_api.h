#pragma once

// Name of the WebKit script message handler that carries the page's requests.
inline constexpr const char* PAGE_MESSAGE_HANDLER = "velmora";

// Runs at document start in the top frame: gives the page window.chrome.webview with
// postMessage(object), addEventListener('message', fn) and removeEventListener, the same API
// the page has on Windows. Requests travel as the JSON text of the posted value.
inline constexpr const char* PAGE_API_SCRIPT = R"JS((() => {
  const channel = window.webkit.messageHandlers.velmora;
  const target = new EventTarget();
  const webview = {
    postMessage(message) {
      const text = JSON.stringify(message);
      if (typeof text === 'string') channel.postMessage(text);
    },
    addEventListener(type, listener, options) {
      target.addEventListener(type, listener, options);
    },
    removeEventListener(type, listener, options) {
      target.removeEventListener(type, listener, options);
    },
  };
  // Replies arrive as JSON text and reach the listeners as parsed objects in event.data.
  Object.defineProperty(webview, '__deliver', {
    value(text) {
      target.dispatchEvent(new MessageEvent('message', { data: JSON.parse(text) }));
    },
  });
  window.chrome = window.chrome || {};
  Object.defineProperty(window.chrome, 'webview', { value: Object.freeze(webview) });
})();)JS";

// Body of the function that hands one reply (argument `reply`) to the page.
inline constexpr const char* PAGE_DELIVER_BODY = "window.chrome.webview.__deliver(reply);";
