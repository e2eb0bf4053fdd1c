// The on-screen controls, for devices without a keyboard: a bar along the
// page's bottom edge, below the rules, shown where the pointer is coarse (a
// touch screen) and hidden with a mouse unless the address asks for it
// (?controls=1; ?controls=0 hides it on a touch screen). Each button does
// what its key does, by sending the page the same key events a keyboard
// would; the text field's line goes to the program's command line, as
// Enter, the line and Enter typed.
'use strict';

(() => {
  const bar = document.getElementById('controls');
  const field = document.getElementById('controls-line');

  // What each button sends: the key's code and name; a held button holds
  // its key until let go, a toggle until pressed again.
  const DIGITS = [...'0123456789'].map(digit => ({
    group: 'sensitivity', text: digit, code: 'Digit' + digit, key: digit,
    label: `Drag sensitivity ${digit}${digit === '9' ? ', fastest' : digit === '0' ? ', finest' : ''} (${digit})`,
  }));
  const BUTTONS = [
    ...DIGITS,
    {group: 'view', text: '\u25c0', code: 'ArrowLeft', key: 'ArrowLeft', label: 'Fine move left (Left arrow)'},
    {group: 'view', text: '\u25b6', code: 'ArrowRight', key: 'ArrowRight', label: 'Fine move right (Right arrow)'},
    {group: 'view', text: '\u2212', code: 'ArrowDown', key: 'ArrowDown', held: true,
     label: 'Zoom farther while held (Down arrow)'},
    {group: 'view', text: '+', code: 'ArrowUp', key: 'ArrowUp', held: true, label: 'Zoom nearer while held (Up arrow)'},
    {group: 'view', text: '\u00d72', code: 'ShiftLeft', key: 'Shift', toggle: true, label: 'Magnifier (Shift)'},
    {group: 'view', text: 'R', code: 'KeyR', key: 'r', label: 'Readout (R)'},
    {group: 'view', text: 'F1', code: 'F1', key: 'F1', label: 'Help (F1)'},
    {group: 'view', text: 'Next', code: 'Space', key: ' ', label: 'Next step of a demonstration (Space)'},
    {group: 'learning', text: 'P', code: 'KeyP', key: 'p', label: 'Practice, start or end (P)'},
    {group: 'learning', text: 'Check', code: 'Enter', key: 'Enter', label: 'Check the practice answer (Enter)'},
    {group: 'learning', text: 'S', code: 'KeyS', key: 's', label: 'Solution of the practice problem (S)'},
  ];

  function sendKey(type, control) {
    window.dispatchEvent(new KeyboardEvent(type, {code: control.code, key: control.key, bubbles: true}));
  }

  function makeButton(control) {
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = control.text;
    button.setAttribute('aria-label', control.label);
    button.title = control.label;
    if (control.held) {
      let down = false;
      const letGo = () => {
        if (down) sendKey('keyup', control);
        down = false;
      };
      button.addEventListener('pointerdown', event => {
        button.setPointerCapture(event.pointerId);
        if (!down) sendKey('keydown', control);
        down = true;
      });
      for (const type of ['pointerup', 'pointercancel', 'lostpointercapture']) button.addEventListener(type, letGo);
    } else if (control.toggle) {
      button.setAttribute('aria-pressed', 'false');
      button.addEventListener('click', () => {
        const on = button.getAttribute('aria-pressed') !== 'true';
        sendKey(on ? 'keydown' : 'keyup', control);
        button.setAttribute('aria-pressed', String(on));
      });
      // The program lets go of held keys whenever something on the page
      // loses the focus: the toggle follows.
      window.addEventListener('blur', () => button.setAttribute('aria-pressed', 'false'), true);
    } else {
      button.addEventListener('click', () => {
        sendKey('keydown', control);
        sendKey('keyup', control);
      });
    }
    return button;
  }

  for (const control of BUTTONS) {
    document.getElementById('controls-' + control.group).append(makeButton(control));
  }

  // The field's keys are the field's: the program, which listens to the
  // whole page, does not hear them (this listener comes before its own).
  for (const type of ['keydown', 'keyup']) {
    window.addEventListener(type, event => {
      if (event.target === field) event.stopImmediatePropagation();
    }, true);
  }
  document.getElementById('controls-form').addEventListener('submit', event => {
    event.preventDefault();
    if (field.value.trim() !== '') window.dispatchEvent(new CustomEvent('vernaskel-line', {detail: field.value}));
    field.value = '';
    field.blur();
  });
  // Buttons leave the focus where it is: the program lets go of what is
  // held when it moves.
  bar.addEventListener('mousedown', event => {
    if (event.target !== field) event.preventDefault();
  });
  bar.addEventListener('contextmenu', event => event.preventDefault());

  const asked = new URLSearchParams(location.search).get('controls');
  const coarse = window.matchMedia('(pointer: coarse)');
  // The canvas ends where the bar begins, so that nothing the program draws
  // at the picture's bottom (its readout, its command line) lies under the
  // bar; the program hears of the new size as a resize.
  const canvas = document.getElementById('canvas');
  const fitCanvas = () => {
    const height = bar.hidden ? '' : `${Math.max(1, window.innerHeight - bar.offsetHeight)}px`;
    if (canvas.style.height === height) return;
    canvas.style.height = height;
    window.dispatchEvent(new Event('resize'));
  };
  const show = () => {
    bar.hidden = asked === '0' || (asked !== '1' && !coarse.matches);
    document.body.classList.toggle('with-controls', !bar.hidden);
    fitCanvas();
  };
  coarse.addEventListener('change', show);
  window.addEventListener('resize', fitCanvas);
  show();
})();
