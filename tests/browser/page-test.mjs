// The remote page in Debian's Chromium, driven by playwright-core against the real program: logs
// in, uploads a clip (the progress bar moves), adds a picture from the media folder, reorders by
// dragging, sets the picture's display time, follows the show in "now playing", reads the log.
// Usage: node page-test.mjs VIZMORA   (runs headless; exits non-zero on the first failed step)
import { chromium } from 'playwright-core';
import { spawn, execFileSync } from 'node:child_process';
import { randomBytes } from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const WAIT = { timeout: 90_000 };  // a failure guard only; every step waits for a condition
const program = process.argv[2];
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vizmora-page-'));
const media = path.join(work, 'media');
const outside = path.join(work, 'upload');
const token = randomBytes(16).toString('hex');
let vizmora = null;
let browser = null;

function step(text) {
  console.log(`page test: ${text}`);
}

function ffmpeg(...args) {
  execFileSync('ffmpeg', ['-loglevel', 'error', '-y', ...args]);
}

function makeMedia() {
  fs.mkdirSync(media, { mode: 0o700 });
  fs.mkdirSync(outside);
  ffmpeg('-f', 'lavfi', '-i', 'testsrc=size=640x360:rate=25:duration=3', '-f', 'lavfi',
    '-i', 'sine=frequency=440:sample_rate=44100:duration=3', '-c:v', 'mpeg4', '-q:v', '2',
    '-c:a', 'pcm_s16le', '-shortest', path.join(outside, 'clip.avi'));
  ffmpeg('-f', 'lavfi', '-i', 'smptebars=size=640x360', '-frames:v', '1', path.join(media, 'still.jpg'));
  fs.writeFileSync(path.join(work, 'token'), `${token}\n`, { mode: 0o600 });
}

// Starts the program and resolves with the page's address, read from its standard error.
function startProgram() {
  vizmora = spawn(program, ['--headless', '--remote', '127.0.0.1:0', '--remote-token-file',
    path.join(work, 'token'), '--media-dir', media], {
    env: { ...process.env, VIZMORA_REGISTRY: path.join(work, 'registry.reg') },
    stdio: ['ignore', 'ignore', 'pipe'],
  });
  return new Promise((resolve, reject) => {
    let said = '';
    vizmora.stderr.on('data', (chunk) => {
      process.stderr.write(chunk);
      said += chunk;
      const found = said.match(/vizmora: remote operation on (http:\/\/127\.0\.0\.1:\d+\/)/);
      if (found) resolve(found[1]);
    });
    vizmora.on('exit', (code) => reject(new Error(`vizmora ended with status ${code} before serving`)));
  });
}

async function apiGet(base, route) {
  const response = await fetch(new URL(route, base), { headers: { Authorization: `Bearer ${token}` } });
  if (!response.ok) throw new Error(`GET ${route}: ${response.status}`);
  return response.json();
}

// Polls the API until check(json) holds; the last answer is in the error if it never does.
async function apiUntil(base, route, check, what) {
  const until = Date.now() + WAIT.timeout;
  let last;
  for (;;) {
    last = await apiGet(base, route);
    if (check(last)) return last;
    if (Date.now() > until) throw new Error(`${what}: never seen; last ${route}: ${JSON.stringify(last)}`);
    await new Promise((r) => setTimeout(r, 200));
  }
}

function expect(condition, text) {
  if (!condition) throw new Error(text);
}

async function run() {
  makeMedia();
  const base = await startProgram();
  browser = await chromium.launchPersistentContext(path.join(work, 'chromium'), {
    executablePath: process.env.VIZMORA_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    viewport: { width: 360, height: 800 },
  });
  const page = browser.pages()[0] || await browser.newPage();
  page.on('pageerror', (error) => console.error(`page error: ${error.message}`));
  page.on('dialog', (dialog) => dialog.accept());

  step('log in');
  await page.goto(base);
  await page.locator('#token').fill(token);
  await page.locator('#login button[type=submit]').click();
  await page.locator('#app').waitFor({ state: 'visible', ...WAIT });
  await page.locator('#link.live').waitFor(WAIT);

  step('upload a clip');
  await page.evaluate(() => {
    window.progressSeen = [];
    const bar = document.getElementById('upload-progress');
    new MutationObserver(() => window.progressSeen.push(bar.value)).observe(bar, { attributes: true });
  });
  await page.locator('#upload-file').setInputFiles(path.join(outside, 'clip.avi'));
  await page.locator('#upload button[type=submit]').click();
  await page.locator('#upload-text', { hasText: 'Added' }).waitFor(WAIT);
  const progress = await page.evaluate(() => window.progressSeen);
  expect(progress.some((p) => p > 0) && progress.at(-1) === 100, `the progress bar went ${progress}`);
  await page.locator('#entries li', { hasText: 'clip.avi' }).waitFor(WAIT);

  step('add a picture from the media folder');
  await page.locator('#media-file option[value="still.jpg"]').waitFor({ state: 'attached', ...WAIT });
  await page.locator('#media-file').selectOption('still.jpg');
  await page.locator('#from-folder button[type=submit]').click();
  await page.locator('#entries li', { hasText: 'still.jpg' }).waitFor(WAIT);

  step('drag the picture to the top');
  const rows = page.locator('#entries li');
  await rows.nth(1).dragTo(rows.nth(0));
  await apiUntil(base, '/api/playlist', (j) => j.entries.length === 2 && j.entries[0].kind === 'picture',
    'the picture moved to the top');
  await rows.nth(0).filter({ hasText: 'still.jpg' }).waitFor(WAIT);

  step("set the picture's display time");
  await rows.nth(0).getByRole('button', { name: 'Properties' }).click();
  await page.locator('#p-time').fill('2');
  await page.locator('#props button[type=submit]').click();
  await page.locator('#props').waitFor({ state: 'hidden', ...WAIT });
  await apiUntil(base, '/api/playlist', (j) => j.entries[0].display_time === 2, 'display time 2 s');

  step('play and follow the show');
  await page.locator('[data-control=play]').click();
  await page.locator('#now-file', { hasText: 'still.jpg' }).waitFor(WAIT);
  await page.locator('#now-state', { hasText: 'playing' }).waitFor(WAIT);
  await page.locator('#now-file', { hasText: 'clip.avi' }).waitFor(WAIT);
  await page.locator('#entries li.current', { hasText: 'clip.avi' }).waitFor(WAIT);

  step('reload: the session holds');
  await page.reload();
  await page.locator('#app').waitFor({ state: 'visible', ...WAIT });

  step('read the log');
  await page.locator('#log-range button[type=submit]').click();
  await page.locator('#log-lines li', { hasText: 'clip.avi' }).first().waitFor(WAIT);
  // Newest first: the page's lines, reversed, begin the server's (which only grow at their end).
  const shown = await page.locator('#log-lines li').evaluateAll((items) => items.map((li) => li.dataset.time));
  const held = (await apiGet(base, '/api/log')).lines.map((line) => line.time);
  expect(shown.reverse().every((time, i) => time === held[i]), `the log is not newest first: ${shown} against ${held}`);
  const tomorrow = new Date(Date.now() + 86_400_000).toISOString().slice(0, 16);
  await page.locator('#log-since').fill(tomorrow);
  await page.locator('#log-range button[type=submit]').click();
  await page.locator('#log-lines li').first().waitFor({ state: 'detached', ...WAIT });
  expect(await page.locator('#error').isHidden(), `an error is shown: ${await page.locator('#error').textContent()}`);
  step('passed');
}

let failed = false;
try {
  await run();
} catch (error) {
  console.error(`page test failed: ${error.stack || error}`);
  failed = true;
} finally {
  if (browser) await browser.close().catch(() => {});
  if (vizmora && vizmora.exitCode === null) {
    vizmora.removeAllListeners('exit');
    vizmora.kill('SIGTERM');
  }
  fs.rmSync(work, { recursive: true, force: true });
}
process.exit(failed ? 1 : 0);
