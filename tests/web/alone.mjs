// One file's checks against the desktop window run alone, outside run.mjs:
//   node view.mjs | params.mjs | worksheet.mjs
// with FUNZIONI_WEB_PAGE, FUNZIONI_WEB_REFERENCE and FUNZIONI_WEB_TEST_OUT as for run.mjs.
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { launchBrowser, PageWatch } from './page.mjs';

const ROOT = resolve(dirname(fileURLToPath(import.meta.url)), '../..');

// Whether the module at moduleUrl is the script node was started with.
export function startedAlone(moduleUrl) {
  return Boolean(process.argv[1]) && moduleUrl === pathToFileURL(process.argv[1]).href;
}

// Runs checks(browser, url, watch, reference, out) -> [{name, problem}], prints a line for each
// (and one for the console's errors), and sets the exit status.
export async function runAlone(checks) {
  const page = process.env.FUNZIONI_WEB_PAGE || join(ROOT, 'build/web/funzioni.html');
  const reference = process.env.FUNZIONI_WEB_REFERENCE ||
    join(ROOT, 'build/test/tests/support/funzioni-web-reference');
  const out = process.env.FUNZIONI_WEB_TEST_OUT || join(ROOT, 'build/web-test');
  const browser = await launchBrowser();
  const watch = new PageWatch();
  let failed = 0;
  try {
    const rows = await checks(browser, pathToFileURL(page).href, watch, reference, out);
    for (const { name, problem } of [...rows,
      { name: 'no console error', problem: watch.problems.join('\n') }]) {
      if (problem) failed++;
      console.log(`${problem ? 'FAIL' : 'PASS'} ${name}${problem ? `\n     ${problem.replace(/\n/g, '\n     ')}` : ''}`);
    }
  } finally {
    await browser.close();
  }
  process.exitCode = failed === 0 ? 0 : 1;
}
