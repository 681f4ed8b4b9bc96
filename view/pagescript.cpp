#include "view/pagescript.h"

namespace {

// %1: whether the page starts vertical; %2: the lines kept before an anchor.
const char* const kScript = R"JS(
(function () {
  if (window.codexaPlace) return;
  // The page is placed by the script below, never where the engine last
  // left a page of the same name.
  history.scrollRestoration = 'manual';
  var vertical = %1;
  // The corpus's pages fix the width of their text block, which in
  // vertical writing is the depth of its columns: freed there, the page
  // grows sideways with its text as it grows downwards otherwise.
  var rules =
      'a[name] { scroll-margin-block-start: calc(%2 * 1.6em); }' +
      'html.codexa-vertical { writing-mode: vertical-rl; }' +
      'html.codexa-vertical td > div { width: auto !important; }' +
      '.codexa-private { outline: 1px dashed #a0522d; background: #f5e6d3; }';
  function anchorOfFragment() {
    var name = decodeURIComponent(location.hash.slice(1));
    if (!name) return null;
    return document.getElementsByName(name)[0] || document.getElementById(name);
  }
  window.codexaPlace = function () {
    var anchor = anchorOfFragment();
    if (anchor) {
      anchor.scrollIntoView({block: 'start', inline: 'nearest'});
      // A vertical page starts at its right edge, with the fold: a hit that
      // is in view there leaves the page at its start, fold included,
      // rather than moving it a few columns on and the fold off the view.
      var hit = anchor.nextElementSibling || anchor;
      var vertical = document.documentElement.classList.contains('codexa-vertical');
      if (vertical && window.scrollX < 0 && hit.getBoundingClientRect().left + window.scrollX >= 0) {
        window.scrollTo(0, window.scrollY);
      }
    } else {
      window.scrollTo(0, 0);
    }
  };
  window.codexaSetVertical = function (on) {
    // Called from outside at any time, also while no document is there yet.
    if (!document.documentElement) return;
    document.documentElement.classList.toggle('codexa-vertical', on);
    window.codexaPlace();
  };
  // Each private-use character (U+E000..U+F8FF, planes 15 and 16) in a
  // framed span whose tool tip names its code point: no font draws them,
  // and an empty box alone looks like a missing font.
  var privateUse = /[\uE000-\uF8FF]|[\uDB80-\uDBFF][\uDC00-\uDFFF]/g;
  function markPrivateUse(root) {
    var walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
    var found = [];
    for (var node = walker.nextNode(); node; node = walker.nextNode()) {
      privateUse.lastIndex = 0;
      if (privateUse.test(node.data)) found.push(node);
    }
    found.forEach(function (node) {
      var parts = document.createDocumentFragment();
      var text = node.data, last = 0, match;
      privateUse.lastIndex = 0;
      while ((match = privateUse.exec(text)) !== null) {
        parts.appendChild(document.createTextNode(text.slice(last, match.index)));
        var mark = document.createElement('span');
        mark.className = 'codexa-private';
        mark.title = 'U+' + match[0].codePointAt(0).toString(16).toUpperCase() + '（私用領域の文字）';
        mark.textContent = match[0];
        parts.appendChild(mark);
        last = match.index + match[0].length;
      }
      parts.appendChild(document.createTextNode(text.slice(last)));
      node.parentNode.replaceChild(parts, node);
    });
  }
  document.addEventListener('DOMContentLoaded', function () {
    var style = document.createElement('style');
    style.id = 'codexa-reading-style';
    style.textContent = rules;
    (document.head || document.documentElement).appendChild(style);
    if (document.body) markPrivateUse(document.body);
    document.documentElement.classList.toggle('codexa-vertical', vertical);
    window.codexaPlace();
  });
  // Once laid out, and once more after the load, which is when the engine
  // would restore an old offset.
  window.addEventListener('load', function () { window.codexaPlace(); });
  window.addEventListener('hashchange', function () { window.codexaPlace(); });
})();
)JS";

}  // namespace

QString PageScriptSource(bool vertical) {
  return QString::fromUtf8(kScript)
      .arg(vertical ? QStringLiteral("true") : QStringLiteral("false"))
      .arg(kLinesBeforeAnchor);
}

QString SetVerticalCall(bool vertical) {
  return QStringLiteral("window.codexaSetVertical && window.codexaSetVertical(%1);")
      .arg(vertical ? QStringLiteral("true") : QStringLiteral("false"));
}
