#include "platform/browser/PlayerScript.h"

namespace telvanta::platform {

const char* const kPlayerReportScript = R"JS(
(() => {
  'use strict';
  if (window.__telvanta) return;
  const TYPES = new Set(['application/x-ms-wmp', 'video/x-ms-asf', 'application/x-mplayer2',
                         'audio/x-pn-realaudio-plugin', 'audio/x-pn-realaudio']);
  const CLASS_IDS = new Set(['6bf52a52-394a-11d3-b153-00c04f79faa6',
                             '22d6f312-b0f6-11d0-94ab-0080c74c7e95',
                             'cfcdaa03-8be4-11cf-b84b-0020afbbccfa']);
  const ids = new WeakMap();
  const elements = new Map();
  let nextId = 1;
  let pending = false;
  let forced = false;
  let last = '';
  const resizeObserver = new ResizeObserver(schedule);
  const MAX_TEXT = 8192;
  const text = (value) => String(value || '').slice(0, MAX_TEXT);

  function isPlayer(el) {
    const type = (el.getAttribute('type') || '').trim().toLowerCase();
    if (TYPES.has(type)) return true;
    const classId = (el.getAttribute('classid') || '').trim().toLowerCase().replace(/^clsid:/, '');
    return CLASS_IDS.has(classId);
  }

  function idOf(el) {
    let id = ids.get(el);
    if (!id) {
      id = nextId++;
      ids.set(el, id);
      elements.set(id, new WeakRef(el));
      resizeObserver.observe(el);
    }
    return id;
  }

  function describe(el) {
    const params = {};
    for (const param of el.querySelectorAll(':scope > param')) {
      const name = (param.getAttribute('name') || '').toLowerCase();
      if (name) params[text(name)] = text(param.getAttribute('value'));
    }
    const isEmbed = el.localName === 'embed';
    if (isEmbed) {
      for (const attribute of el.attributes) {
        const name = attribute.name.toLowerCase();
        if (!(name in params)) params[text(name)] = text(attribute.value);
      }
    }
    const rect = el.getBoundingClientRect();
    const style = getComputedStyle(el);
    return {
      id: idOf(el),
      type: text(el.getAttribute('type')),
      classid: text(el.getAttribute('classid')),
      data: text(isEmbed ? el.getAttribute('src') : el.getAttribute('data')),
      href: text(isEmbed ? el.src : el.data),
      width: text(el.getAttribute('width')),
      height: text(el.getAttribute('height')),
      title: text(el.getAttribute('title') || el.getAttribute('name') || params.title),
      params,
      rect: {x: rect.left, y: rect.top, w: rect.width, h: rect.height},
      visible: style.display !== 'none' && style.visibility !== 'hidden' &&
               el.getClientRects().length > 0,
    };
  }

  function report(force) {
    const players = [];
    for (const el of document.querySelectorAll('object, embed')) {
      if (!isPlayer(el)) continue;
      // An <embed> inside a player <object> is the same player's fallback.
      const outer = el.parentElement && el.parentElement.closest('object');
      if (outer && isPlayer(outer)) continue;
      players.push(describe(el));
    }
    const message = JSON.stringify({title: text(document.title), players});
    if (message === last && !force) return;
    last = message;
    window.webkit.messageHandlers.telvantaPlayers.postMessage(message);
  }

  function schedule() {
    if (pending) return;
    pending = true;
    const run = () => {
      if (!pending) return;
      pending = false;
      report(forced);
      forced = false;
    };
    requestAnimationFrame(run);
    setTimeout(run, 100);  // frames stop while the view is hidden
  }

  addEventListener('scroll', schedule, {capture: true, passive: true});
  // The host sizes some players by the view: tell it even when no box moved.
  addEventListener('resize', () => { forced = true; schedule(); });
  new MutationObserver(schedule).observe(document, {
    subtree: true, childList: true, attributes: true, characterData: true});

  window.__telvanta = {
    report: () => report(true),
    setSize: (id, width, height) => {
      const ref = elements.get(id);
      const el = ref && ref.deref();
      if (!el) return;
      el.style.width = width + 'px';
      el.style.height = height + 'px';
    },
  };
  report(true);
})();
)JS";

}  // namespace telvanta::platform
