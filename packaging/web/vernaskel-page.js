// The page around the program: starts it on the default rules or, when a
// texture list and its images are dropped on the page (or chosen), on those;
// shows its messages, and says when it has ended. The address's fragment
// keeps the rules' setting as the user works (#set=TEXT, the entry replaced,
// not added to the history), so that a reload or a link opens the rule as it
// was; #show=CALCULATION asks the program to show a calculation. Each start is a new
// instance of the program on a new canvas, as each start on the desktop is a
// new process. Every word of the program reaches the page's window as a
// "vernaskel" event too (detail: what, caption, text), for pages that embed
// it and for tests.
'use strict';

(() => {
  const box = document.getElementById('message');
  const boxCaption = document.getElementById('message-caption');
  const boxText = document.getElementById('message-text');
  const boxHint = document.getElementById('message-hint');
  const boxButton = document.getElementById('message-button');
  const picker = document.getElementById('own-rules-files');

  const HOW_TO_START = 'Reload the page to start it again, or drop a texture list ts and its images on the ' +
                       'page to start it on rules of your own.';

  let program = null;    // the running instance
  let userFiles = null;  // the rules the user gave, for starting again
  let lastError = '';    // the program's last line on standard error

  function showMessage(caption, text, hint, buttonText, onButton) {
    boxCaption.textContent = caption;
    boxText.textContent = text;
    boxHint.textContent = hint;
    boxHint.hidden = !hint;
    boxButton.textContent = buttonText;
    boxButton.onclick = onButton;
    box.hidden = false;
    boxButton.focus();
  }

  function hideMessage() {
    box.hidden = true;
  }

  function tell(what, caption, text) {
    window.dispatchEvent(new CustomEvent('vernaskel', {detail: {what, caption, text}}));
  }

  // What the program says: an "Error" box's text, a picture shown, its end.
  function onProgramEvent(what, caption, text) {
    if (what === 'message') {
      showMessage(caption, text, '', 'OK', hideMessage);
    } else if (what === 'setting') {
      history.replaceState(history.state, '', '#set=' + text);
    } else if (what === 'started') {
      performance.mark('vernaskel-first-picture');  // the rules are shown
    } else if (what === 'ended') {
      showMessage('Vernaskel has ended', 'Escape ended the program.', HOW_TO_START, 'Start again',
                  () => start(userFiles));
    }
    tell(what, caption, text);
  }

  // The program ended the process (a list it cannot read, a JPEG it cannot
  // load): its message stays, with how to go on.
  function onStopped(status) {
    // A fragment the program could not read would stop it again.
    if (status !== 0 && argumentsFromAddress().length > 0) {
      history.replaceState(history.state, '', location.pathname + location.search);
    }
    if (box.hidden) {
      showMessage('Vernaskel has stopped', lastError || 'The program stopped with status ' + status + '.',
                  HOW_TO_START, 'Start again', () => start(userFiles));
    } else {
      boxHint.textContent = 'Vernaskel has stopped. ' + HOW_TO_START;
      boxHint.hidden = false;
      boxButton.textContent = 'Start again';
      boxButton.onclick = () => start(userFiles);
    }
    const stopped = program;
    setTimeout(() => stopProgram(stopped), 0);
    tell('stopped', '', String(status));
  }

  function stopProgram(instance) {
    if (instance && instance._WebStopProgram) {
      try {
        instance._WebStopProgram();
      } catch (e) {
        // an instance that never got going has nothing to stop
      }
    }
  }

  // The program's arguments from the address's fragment: set=TEXT as --set
  // TEXT (the text needs no decoding), show=CALCULATION, URL-decoded, as
  // --show CALCULATION; pairs joined by '&'.
  function argumentsFromAddress() {
    const programArguments = [];
    for (const pair of location.hash.replace(/^#/, '').split('&')) {
      const equals = pair.indexOf('=');
      const key = pair.substring(0, equals);
      const value = pair.substring(equals + 1);
      if (equals < 0 || value === '') continue;
      if (key === 'set') programArguments.push('--set', value);
      if (key === 'show') {
        try {
          programArguments.push('--show', decodeURIComponent(value));
        } catch (e) {
          // not URL-encoded text: passed over
        }
      }
    }
    return programArguments;
  }

  // The paths a texture list names for its images, '\' read as '/'.
  function pathsNamedBy(listText) {
    const words = listText.split(/\s+/).filter(word => word.length > 0);
    const count = parseInt(words[0], 10);
    const paths = [];
    for (let entry = 0; entry < count && 4 + 4 * entry <= words.length - 1; ++entry) {
      paths.push(words[4 + 4 * entry].replace(/\\/g, '/'));
    }
    return paths;
  }

  function baseName(path) {
    return path.split('/').pop();
  }

  // The user's files in the program's own folder, /user: the list as
  // data/ts, every image at the path the list names and, whatever the list
  // says, in data/ as well (the scale map data/scales among them).
  function placeUserFiles(fs, files) {
    fs.mkdirTree('/user/data');
    const byName = new Map(files.map(file => [baseName(file.name), file]));
    const list = byName.get('ts');
    if (list) {
      fs.writeFile('/user/data/ts', list.bytes);
      for (const path of pathsNamedBy(new TextDecoder().decode(list.bytes))) {
        const file = byName.get(baseName(path));
        if (!file || path.startsWith('/') || path.split('/').includes('..')) continue;
        const target = '/user/' + path;
        fs.mkdirTree(target.substring(0, target.lastIndexOf('/')));
        fs.writeFile(target, file.bytes);
      }
    }
    for (const [name, file] of byName) {
      if (name !== 'ts') fs.writeFile('/user/data/' + name, file.bytes);
    }
    fs.chdir('/user');
  }

  function start(files) {
    // A newer build's files took over while this page ran (vernaskel-offline.js).
    if (window.vernaskelFilesReplaced) {
      location.reload();
      return;
    }
    stopProgram(program);
    hideMessage();
    const old = document.getElementById('canvas');
    const canvas = old.cloneNode(false);
    old.replaceWith(canvas);
    canvas.addEventListener('contextmenu', event => event.preventDefault());
    canvas.focus();
    lastError = '';
    const instance = {
      canvas,
      arguments: argumentsFromAddress(),
      onProgramEvent,
      // The program's main returns once its loop is the page's: only an
      // exit of its own, or a main that returns without a loop, stops it.
      quit: (status, toThrow) => {
        if (status !== 0 || !instance.passesWanted) onStopped(status);
        throw toThrow;
      },
      print: text => console.log(text),
      printErr: text => {
        lastError = text;
        console.error(text);
      },
      preRun: files ? [module => placeUserFiles(module.FS, files)] : [],
    };
    program = instance;
    Vernaskel(instance);
  }

  // --- Rules of the user's own -----------------------------------------------

  function readFile(file, name) {
    return file.arrayBuffer().then(buffer => ({name: name || file.name, bytes: new Uint8Array(buffer)}));
  }

  // Files, and the files inside dropped folders.
  async function readEntry(entry, into) {
    if (entry.isFile) {
      const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
      into.push(await readFile(file, entry.fullPath));
    } else if (entry.isDirectory) {
      const reader = entry.createReader();
      for (;;) {
        const entries = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
        if (entries.length === 0) break;
        for (const inner of entries) await readEntry(inner, into);
      }
    }
  }

  async function readDropped(transfer) {
    const files = [];
    const entries = [...transfer.items].map(item => item.webkitGetAsEntry && item.webkitGetAsEntry()).filter(e => e);
    if (entries.length > 0) {
      for (const entry of entries) await readEntry(entry, files);
    } else {
      for (const file of transfer.files) files.push(await readFile(file));
    }
    return files;
  }

  function startOnOwnRules(files) {
    if (files.length === 0) return;
    userFiles = files;
    start(files);
  }

  document.addEventListener('dragover', event => {
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
    document.body.classList.add('dragging');
  });
  document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
  document.addEventListener('drop', async event => {
    event.preventDefault();
    document.body.classList.remove('dragging');
    startOnOwnRules(await readDropped(event.dataTransfer));
  });
  // A line from the page's text field (vernaskel-controls.js), for the
  // program's command line.
  window.addEventListener('vernaskel-line', event => {
    if (program && program._WebTypeLine) program.ccall('WebTypeLine', null, ['string'], [event.detail]);
  });
  picker.addEventListener('change', async () => {
    startOnOwnRules(await Promise.all([...picker.files].map(file => readFile(file))));
    picker.value = '';
  });

  start(null);
})();
