// The menu bar, as the window's and as a menu bar is used from the keyboard:
// a title opens its menu by a click, Enter, Space or the arrow keys, File
// also by Alt+F; F10 goes to the menu bar. In an open menu the arrow keys,
// Home and End move, the underlined letter of an item chooses it, Escape
// closes it; while one is open, pointing at another title opens that one.
(function () {
  'use strict';
  var titles = [];
  var open = null;  // the title whose menu is open

  function itemsOf(title) {
    return Array.prototype.slice.call(title.nextElementSibling.querySelectorAll('[role="menuitem"]'));
  }
  // One title at a time is in the page's tab order: the one used last.
  function focusTitle(title) {
    titles.forEach(function (t) { t.tabIndex = t === title ? 0 : -1; });
    title.focus();
  }
  function closeMenu(refocus) {
    var title = open;
    if (!title) return;
    open = null;
    title.setAttribute('aria-expanded', 'false');
    title.parentNode.classList.remove('open');
    if (refocus) focusTitle(title);
  }
  // Opens the menu of title; with at, focus goes to its item at that index,
  // counted from the end when negative and wrapping around.
  function openMenu(title, at) {
    if (open !== title) closeMenu(false);
    open = title;
    title.setAttribute('aria-expanded', 'true');
    title.parentNode.classList.add('open');
    if (at === undefined) return;
    var items = itemsOf(title);
    items[((at % items.length) + items.length) % items.length].focus();
  }
  function neighbour(title, by) {
    return titles[(titles.indexOf(title) + by + titles.length) % titles.length];
  }
  // The letter of a key press, for the access keys.
  function letterOf(e) { return /^Key[A-Z]$/.test(e.code) ? e.code.charAt(3).toLowerCase() : ''; }
  var SIDEWAYS = { ArrowRight: 1, ArrowLeft: -1 };

  function onTitleKey(e) {
    var title = e.currentTarget;
    if (SIDEWAYS[e.key]) {
      var next = neighbour(title, SIDEWAYS[e.key]), wasOpen = open !== null;
      closeMenu(false);
      focusTitle(next);
      if (wasOpen) openMenu(next, 0);
    } else if (e.key === 'ArrowDown') {
      openMenu(title, 0);
    } else if (e.key === 'ArrowUp') {
      openMenu(title, -1);
    } else if (e.key === 'Escape') {
      closeMenu(true);
    } else {
      return;
    }
    e.preventDefault();
  }
  function onItemKey(e) {
    var items = itemsOf(open), at = items.indexOf(document.activeElement);
    var moves = { ArrowDown: at + 1, ArrowUp: at - 1, Home: 0, End: -1 };
    if (e.key in moves) {
      openMenu(open, moves[e.key]);
    } else if (SIDEWAYS[e.key]) {
      var next = neighbour(open, SIDEWAYS[e.key]);
      focusTitle(next);
      openMenu(next, 0);
    } else if (e.key === 'Escape') {
      closeMenu(true);
    } else if (e.key === 'Tab') {
      closeMenu(false);
      return;
    } else {
      var letter = letterOf(e);
      var item = items.filter(function (i) { return letter && i.dataset.access === letter; })[0];
      if (!item) return;
      if (item.getAttribute('aria-disabled') !== 'true') item.click();
    }
    e.preventDefault();
  }
  // Alt and a title's letter opens its menu; F10 goes to the menu bar.
  function onPageKey(e) {
    if (document.querySelector('dialog[open]') || e.ctrlKey || e.metaKey) return;
    if (e.key === 'F10' && !e.altKey && !e.shiftKey) {
      closeMenu(false);
      focusTitle(titles[0]);
    } else if (e.altKey && !e.shiftKey) {
      var letter = letterOf(e);
      var title = titles.filter(function (t) { return letter && t.dataset.access === letter; })[0];
      if (!title) return;
      focusTitle(title);
      openMenu(title, 0);
    } else if (e.key === 'Escape' && open) {
      closeMenu(open.parentNode.contains(document.activeElement));
    } else {
      return;
    }
    e.preventDefault();
  }

  Module.buildMenus = function () {
    titles = Array.prototype.slice.call(document.querySelectorAll('#menubar .title'));
    titles.forEach(function (title) {
      var menu = title.nextElementSibling;
      // Enter and Space click too, with no pointer: then focus goes to the first item.
      title.addEventListener('click', function (e) {
        if (open === title) { closeMenu(false); return; }
        focusTitle(title);
        openMenu(title, e.detail === 0 ? 0 : undefined);
      });
      title.addEventListener('mouseenter', function () { if (open && open !== title) openMenu(title); });
      title.addEventListener('keydown', onTitleKey);
      menu.addEventListener('keydown', onItemKey);
      // A chosen item closes its menu; focus, if it was there, goes back to the title.
      menu.addEventListener('click', function (e) {
        if (e.target.closest('[role="menuitem"]')) closeMenu(menu.contains(document.activeElement));
      });
    });
    document.addEventListener('keydown', onPageKey);
    document.addEventListener('click', function (e) {
      if (open && !open.parentNode.contains(e.target)) closeMenu(false);
    });
    // Focus that leaves the menu bar closes the open menu.
    document.getElementById('menubar').addEventListener('focusout', function (e) {
      if (open && !(e.relatedTarget && e.relatedTarget.closest('#menubar'))) closeMenu(false);
    });
  };
})();
