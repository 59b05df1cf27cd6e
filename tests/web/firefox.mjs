// The page in Debian's Firefox (firefox-esr), driven through WebDriver BiDi: the steps files that
// need nothing of chromium's own protocol, compared with the desktop window as in chromium.
import { existsSync } from 'node:fs';
import puppeteer from 'puppeteer-core';

export const FIREFOX = process.env.FUNZIONI_FIREFOX || '/usr/bin/firefox-esr';

// By mouse and keyboard (Firefox's headless touch is not the touch of a board).
export const FIREFOX_FILES = [
  'start.json',
  'formula.json',
  'meter.json',
  'zoom.json',
  'switches.json',
  'magnifier.json',
  'hover.json',
  'history.json',
  'editor.json',
  'storage.json',
];

// null when Firefox is not installed.
export async function launchFirefox() {
  if (!existsSync(FIREFOX)) return null;
  return puppeteer.launch({ browser: 'firefox', executablePath: FIREFOX, headless: true });
}
