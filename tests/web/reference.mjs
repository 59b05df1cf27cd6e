// The desktop window's pictures and texts after a steps file: funzioni-web-reference run in a
// fresh directory (its own history file). setup.prepare(dir) readies the directory first,
// setup.env adds to the window's environment. An export step gives what the export commands
// wrote instead of a snapshot.
import { execFile } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { promisify } from 'node:util';

const run = promisify(execFile);

export async function desktopSnapshots(binary, stepsPath, steps, setup = {}) {
  const dir = mkdtempSync(join(tmpdir(), 'funzioni-web-reference-'));
  try {
    setup.prepare?.(dir);
    await run(binary, [stepsPath, dir], {
      cwd: dir,
      env: { ...process.env, QT_QPA_PLATFORM: 'offscreen', ...setup.env },
      timeout: 120000,
    });
    const snapshots = {};
    for (const step of steps.filter((s) => s.do === 'snapshot')) {
      const texts = JSON.parse(readFileSync(join(dir, `${step.name}.json`), 'utf8'));
      snapshots[step.name] = { ...texts, rgba: readFileSync(join(dir, `${step.name}.rgba`)) };
    }
    // The copied table's text, the saved CSV file's and the printed PDF's bytes.
    for (const step of steps.filter((s) => s.do === 'export')) {
      const file = (extension) => readFileSync(join(dir, `${step.name}.${extension}`));
      snapshots[step.name] = { text: file('txt').toString('utf8'), csv: file('csv'), pdf: file('pdf') };
    }
    return snapshots;
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}
