'use strict';
// The remote page: logs in with the token, then shows the show and drives it through the JSON API
// (/api/...), with live updates from the WebSocket /api/events. Plain browser APIs, no framework.

const $ = (id) => document.getElementById(id);
const PLAYLIST_TYPES = /\.(pll|m3u8?|xspf)$/i;
const STATUS_EVERY_MS = 2000;
const THUMB_EVERY_MS = 5000;

let csrf = '';         // the session's token for state changes, from /api/login or /api/session
let entries = [];      // the playlist as the server last sent it
let status = {};       // the last /api/status
let timers = [];
let socket = null;
let socketDelay = 1000;
let loggedIn = false;
let dragging = { seek: false, volume: false };

class ApiError extends Error {
  constructor(message, field) {
    super(message);
    this.field = field;
  }
}

function parseJson(text) {
  try { return JSON.parse(text); } catch { return null; }
}

function errorOf(httpStatus, statusText, text) {
  const data = parseJson(text);
  return new ApiError((data && data.error) || `The player answered ${httpStatus} ${statusText}.`, data && data.field);
}

// One request to the API; state changes carry the CSRF token. Throws ApiError with the server's words.
async function api(method, path, body) {
  const headers = {};
  const init = { method, headers, credentials: 'same-origin' };
  if (method !== 'GET') headers['X-CSRF-Token'] = csrf;
  if (body !== undefined) {
    headers['Content-Type'] = 'application/json';
    init.body = JSON.stringify(body);
  }
  let response;
  try {
    response = await fetch(path, init);
  } catch {
    throw new ApiError('The player does not answer.');
  }
  const text = await response.text();
  if (response.status === 401 && loggedIn) loggedOut();
  if (!response.ok) throw errorOf(response.status, response.statusText, text);
  return text ? parseJson(text) : null;
}

// --- errors ---------------------------------------------------------------------------------

function showError(error) {
  $('error').textContent = error.message;
  $('error').hidden = false;
  const input = error.field && fieldInputs(error.field);
  if (input) input.forEach((i) => i.classList.add('invalid'));
}

function clearError() {
  $('error').hidden = true;
  document.querySelectorAll('.invalid').forEach((i) => i.classList.remove('invalid'));
}

// Runs a user's action; its failure is shown with the API's own words.
function act(action) {
  return async (event) => {
    if (event && event.preventDefault) event.preventDefault();
    clearError();
    try {
      await action(event);
    } catch (error) {
      showError(error);
    }
  };
}

// A background refresh that fails only marks the link; the error box is for the user's actions.
async function quietly(refresh) {
  try {
    await refresh();
  } catch {
    setLink(false);
  }
}

// --- session --------------------------------------------------------------------------------

async function start() {
  try {
    csrf = (await api('GET', '/api/session')).csrf;
    enter();
  } catch {
    loggedOut();
  }
}

function enter() {
  loggedIn = true;
  $('login').hidden = true;
  $('app').hidden = false;
  $('logout').hidden = false;
  refreshAll();
  connect();
  timers.push(setInterval(() => quietly(refreshStatus), STATUS_EVERY_MS));
  timers.push(setInterval(refreshThumb, THUMB_EVERY_MS));
}

function loggedOut() {
  loggedIn = false;
  timers.forEach(clearInterval);
  timers = [];
  if (socket) socket.close();
  socket = null;
  $('app').hidden = true;
  $('logout').hidden = true;
  $('login').hidden = false;
  setLink(false);
  $('token').focus();
}

function refreshAll() {
  quietly(refreshStatus);
  quietly(refreshEntries);
  quietly(refreshMedia);
  quietly(refreshLog);
  refreshThumb();
}

// --- live updates ---------------------------------------------------------------------------

function setLink(live) {
  $('link').textContent = live ? 'live' : 'offline';
  $('link').classList.toggle('live', live);
}

function connect() {
  const scheme = location.protocol === 'https:' ? 'wss:' : 'ws:';
  socket = new WebSocket(`${scheme}//${location.host}/api/events`);
  const mine = socket;
  socket.onopen = () => {
    socketDelay = 1000;
    setLink(true);
  };
  socket.onmessage = (message) => {
    const line = parseJson(message.data);
    if (line && line.event) onEvent(line);
  };
  socket.onclose = () => {
    if (socket !== mine || !loggedIn) return;
    setLink(false);
    setTimeout(() => { if (loggedIn && socket === mine) connect(); }, socketDelay);
    socketDelay = Math.min(socketDelay * 2, 30000);
  };
}

let eventTimer = 0;
// Events come in bursts (finished, started, frame); one refresh follows a burst.
function onEvent(line) {
  if (line.event === 'frame' && line.index === status.index) return;
  clearTimeout(eventTimer);
  eventTimer = setTimeout(() => {
    quietly(refreshStatus);
    if (!$('log-until').value) quietly(refreshLog);
    refreshThumb();
  }, 150);
}

// --- now playing ----------------------------------------------------------------------------

function clock(seconds) {
  const s = Math.max(0, Math.floor(Number(seconds) || 0));
  const h = Math.floor(s / 3600);
  const m = Math.floor(s / 60) % 60;
  const ss = String(s % 60).padStart(2, '0');
  return h ? `${h}:${String(m).padStart(2, '0')}:${ss}` : `${m}:${ss}`;
}

async function refreshStatus() {
  const next = await api('GET', '/api/status');
  const moved = next.index !== status.index || next.file !== status.file;
  const countChanged = next.count !== entries.length;
  status = next;
  setLink(socket && socket.readyState === WebSocket.OPEN);
  $('now-file').textContent = status.file || 'nothing';
  $('now-state').textContent = status.state || 'stopped';
  $('now-time').textContent = `${clock(status.position)} / ${clock(status.length)}`;
  if (!dragging.seek) $('seek').value = status.length > 0 ? (100 * status.position) / status.length : 0;
  if (!dragging.volume && typeof status.volume === 'number') $('volume').value = status.volume;
  if (countChanged) await refreshEntries();
  else markCurrent();
  if (moved) refreshThumb();
}

function refreshThumb() {
  if (!loggedIn) return;
  $('thumb').src = `/api/screenshot?width=480&t=${Date.now()}`;
}

function control(name, body) {
  return act(async () => {
    await api('POST', `/api/control/${name}`, body);
    await refreshStatus();
  });
}

// --- playlist -------------------------------------------------------------------------------

async function refreshEntries() {
  entries = (await api('GET', '/api/playlist')).entries || [];
  renderEntries();
}

function button(text, title, onClick) {
  const b = document.createElement('button');
  b.type = 'button';
  b.textContent = text;
  b.title = title;
  b.setAttribute('aria-label', title);
  b.addEventListener('click', act(onClick));
  return b;
}

function span(className, text) {
  const s = document.createElement('span');
  s.className = className;
  s.textContent = text;
  return s;
}

function details(e) {
  // A picture lasts its display time; its file has no length of its own.
  const parts = [e.kind, e.kind === 'picture' ? `${e.display_time} s` : clock(e.duration)];
  if (e.kind === 'picture') {
    if (e.sound_file) parts.push(`sound ${e.sound_file}`);
  } else if (e.additional_file) {
    parts.push(`overlay ${e.additional_file}`);
  }
  return parts.join(' · ');
}

function row(e) {
  const li = document.createElement('li');
  li.draggable = true;
  li.dataset.index = e.index;
  li.append(span('index', `${e.index + 1}.`), span('file', e.file), span('meta', details(e)));
  const tools = document.createElement('span');
  tools.className = 'tools';
  tools.append(
    button('\u2191', 'Move up', () => move(e.index, e.index - 1)),
    button('\u2193', 'Move down', () => move(e.index, e.index + 1)),
    button('\u2699', 'Properties', () => openProps(e.index)),
    button('\u2715', 'Delete', () => remove(e.index)));
  li.append(tools);
  li.addEventListener('dragstart', (event) => {
    event.dataTransfer.setData('text/plain', String(e.index));
    event.dataTransfer.effectAllowed = 'move';
  });
  li.addEventListener('dragover', (event) => {
    event.preventDefault();
    li.classList.add('over');
  });
  li.addEventListener('dragleave', () => li.classList.remove('over'));
  li.addEventListener('drop', act((event) => {
    li.classList.remove('over');
    const from = Number(event.dataTransfer.getData('text/plain'));
    return Number.isInteger(from) ? move(from, e.index) : null;
  }));
  return li;
}

function renderEntries() {
  $('entries').replaceChildren(...entries.map(row));
  markCurrent();
}

function markCurrent() {
  for (const li of $('entries').children) li.classList.toggle('current', Number(li.dataset.index) === status.index);
}

async function move(from, to) {
  if (from === to || to < 0 || to >= entries.length) return;
  entries = (await api('POST', `/api/playlist/entries/${from}/move`, { to })).entries;
  renderEntries();
  await refreshStatus();
}

async function remove(index) {
  if (!confirm(`Delete entry ${index + 1}, ${entries[index].file}?`)) return;
  await api('DELETE', `/api/playlist/entries/${index}`);
  closeProps();
  await refreshEntries();
  await refreshStatus();
}

// --- properties -----------------------------------------------------------------------------

let propsIndex = -1;
let propsShown = {};  // the values the form opened with; only what the user changed is sent

const RECT = ['left', 'top', 'right', 'bottom'];

function fieldInputs(field) {
  const form = $('props').elements;
  if (field === 'overlayRect') return RECT.map((name) => form[name]);
  return form[field] instanceof Element ? [form[field]] : null;
}

function propsValues(e) {
  if (e.kind === 'picture') {
    return { displayTime: String(e.display_time), sound: e.sound_file || '', continueSound: Boolean(e.continue) };
  }
  const rect = e.overlay || {};
  const values = { overlay: e.additional_file || '', overlayAlpha: String(Math.round((e.alpha ?? 1) * 255)) };
  for (const name of RECT) values[name] = String(rect[name] ?? '');
  return values;
}

function openProps(index) {
  const e = entries[index];
  propsIndex = index;
  propsShown = propsValues(e);
  const form = $('props').elements;
  for (const [name, value] of Object.entries(propsShown)) {
    if (form[name].type === 'checkbox') form[name].checked = value;
    else form[name].value = value;
  }
  $('props-index').textContent = `${index + 1}, ${e.file}`;
  $('props-video').hidden = $('props-video').disabled = e.kind === 'picture';
  $('props-picture').hidden = $('props-picture').disabled = e.kind !== 'picture';
  $('props').hidden = false;
  $('props').scrollIntoView({ block: 'nearest' });
}

function closeProps() {
  $('props').hidden = true;
  propsIndex = -1;
}

function propsChanges() {
  const form = $('props').elements;
  const now = (name) => (form[name].type === 'checkbox' ? form[name].checked : form[name].value);
  const changed = (name) => name in propsShown && now(name) !== propsShown[name];
  const body = {};
  if (changed('overlay')) body.overlay = now('overlay');
  if (changed('overlayAlpha')) body.overlayAlpha = Number(now('overlayAlpha'));
  if (RECT.some(changed)) body.overlayRect = Object.fromEntries(RECT.map((name) => [name, Number(now(name))]));
  if (changed('displayTime')) body.displayTime = Number(now('displayTime'));
  if (changed('sound')) body.sound = now('sound');
  if (changed('continueSound')) body.continueSound = now('continueSound');
  return body;
}

async function applyProps() {
  const body = propsChanges();
  if (Object.keys(body).length) {
    const entry = await api('PATCH', `/api/playlist/entries/${propsIndex}`, body);
    if (entry && entry.index === propsIndex) entries[propsIndex] = entry;
    else await refreshEntries();
    renderEntries();
  }
  closeProps();
}

// --- adding media ---------------------------------------------------------------------------

function setProgress(percent, text) {
  $('upload-progress').value = percent;
  $('upload-text').textContent = text ?? `${Math.floor(percent)} %`;
}

// Header values must be Latin-1; a name with other characters goes percent-encoded.
function headerName(name) {
  return /^[\x20-\x7e]*$/.test(name) ? name : encodeURIComponent(name);
}

// Streams the file as the request body, so the bar follows what has been sent.
function upload(file) {
  return new Promise((resolve, reject) => {
    const xhr = new XMLHttpRequest();
    xhr.open('POST', '/api/playlist/entries');
    xhr.setRequestHeader('Content-Type', 'application/octet-stream');
    xhr.setRequestHeader('X-File-Name', headerName(file.name));
    xhr.setRequestHeader('X-CSRF-Token', csrf);
    xhr.upload.onprogress = (event) => {
      if (event.lengthComputable && event.total > 0) setProgress((100 * event.loaded) / event.total);
    };
    xhr.onload = () => {
      if (xhr.status >= 200 && xhr.status < 300) resolve(parseJson(xhr.responseText) || {});
      else reject(errorOf(xhr.status, xhr.statusText, xhr.responseText));
    };
    xhr.onerror = () => reject(new ApiError('The upload was cut off.'));
    xhr.send(file);
  });
}

async function uploadChosen() {
  const file = $('upload-file').files[0];
  if (!file) throw new ApiError('Choose a file to upload.');
  setProgress(0);
  try {
    const added = await upload(file);
    setProgress(100, `Added ${added.path || file.name} as entry ${added.index + 1}`);
  } catch (error) {
    setProgress(0, 'Not uploaded');
    throw error;
  }
  $('upload-file').value = '';
  await refreshEntries();
  await refreshMedia();
  await refreshStatus();
}

function options(parent, names, make) {
  parent.replaceChildren(...names.map((name) => {
    const option = document.createElement('option');
    option.value = name;
    if (make) option.textContent = name;
    return option;
  }));
}

async function refreshMedia() {
  const files = (await api('GET', '/api/media')).files || [];
  const chosen = $('media-file').value;
  options($('media-file'), files.filter((f) => !PLAYLIST_TYPES.test(f)), true);
  if (files.includes(chosen)) $('media-file').value = chosen;
  options($('media-names'), files.filter((f) => !PLAYLIST_TYPES.test(f)));
  options($('playlist-names'), files.filter((f) => PLAYLIST_TYPES.test(f)));
}

async function addFromFolder() {
  const path = $('media-file').value;
  if (!path) throw new ApiError('The media folder has no files to add.');
  await api('POST', '/api/playlist/entries', { path });
  await refreshEntries();
  await refreshStatus();
}

// --- playlist files -------------------------------------------------------------------------

async function playlistFile(event) {
  const path = $('playlist-name').value.trim();
  const what = event.submitter && event.submitter.value === 'save' ? 'save' : 'load';
  await api('POST', `/api/playlist/${what}`, { path });
  if (what === 'save') {
    await refreshMedia();
  } else {
    closeProps();
    await refreshEntries();
    await refreshStatus();
  }
}

// --- proof of play --------------------------------------------------------------------------

function msOf(input) {
  const ms = input.value ? new Date(input.value).getTime() : NaN;
  return Number.isFinite(ms) ? ms : null;
}

function logText(line) {
  const when = line.time ? new Date(line.time).toLocaleString() : '';
  const what = [when, line.event];
  if (line.index !== undefined) what.push(`#${line.index + 1}`);
  if (line.file) what.push(line.file);
  if (line.reason) what.push(`(${line.reason})`);
  if (line.lost) what.push(`${line.lost} lines lost`);
  return what.join(' ');
}

async function refreshLog() {
  const query = new URLSearchParams();
  const since = msOf($('log-since'));
  const until = msOf($('log-until'));
  if (since !== null) query.set('since', since);
  if (until !== null) query.set('until', until);
  const search = query.toString();
  const lines = (await api('GET', `/api/log${search ? `?${search}` : ''}`)).lines || [];
  const newest = lines.slice(-500).reverse();
  $('log-lines').replaceChildren(...newest.map((line) => {
    const li = document.createElement('li');
    li.textContent = logText(line);
    if (line.time) li.dataset.time = line.time;
    return li;
  }));
}

// --- wiring ---------------------------------------------------------------------------------

function wire() {
  $('login').addEventListener('submit', act(async () => {
    csrf = (await api('POST', '/api/login', { token: $('token').value.trim() })).csrf;
    $('token').value = '';
    enter();
  }));
  $('logout').addEventListener('click', act(async () => {
    await api('POST', '/api/logout');
    loggedOut();
  }));
  for (const b of document.querySelectorAll('[data-control]')) b.addEventListener('click', control(b.dataset.control));
  for (const [id, send] of [['seek', (v) => ['seek', { percent: v }]], ['volume', (v) => ['volume', { volume: v }]]]) {
    $(id).addEventListener('input', () => { dragging[id] = true; });
    $(id).addEventListener('change', (event) => {
      dragging[id] = false;
      control(...send(Number($(id).value)))(event);
    });
  }
  $('thumb').addEventListener('load', () => { $('thumb').hidden = false; });
  $('thumb').addEventListener('error', () => { $('thumb').hidden = true; });
  $('props').addEventListener('submit', act(applyProps));
  $('props-close').addEventListener('click', closeProps);
  $('upload').addEventListener('submit', act(uploadChosen));
  $('from-folder').addEventListener('submit', act(addFromFolder));
  $('media-refresh').addEventListener('click', act(refreshMedia));
  $('playlist-file').addEventListener('submit', act(playlistFile));
  $('log-range').addEventListener('submit', act(refreshLog));
}

wire();
start();
