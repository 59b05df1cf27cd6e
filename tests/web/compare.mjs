// Pixel comparison of the page's canvas with the desktop window's client area, outside the
// rectangles left out (the stock controls, the panels that follow the time), and the pictures a
// mismatch leaves behind.
import { mkdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { encodePng } from './png.mjs';

// One byte a pixel: 1 where the pixel is left out.
export function maskOf(width, height, rects) {
  const mask = new Uint8Array(width * height);
  for (const [left, top, w, h] of rects) {
    const x0 = Math.max(0, Math.floor(left));
    const y0 = Math.max(0, Math.floor(top));
    const x1 = Math.min(width, Math.ceil(left + w));
    const y1 = Math.min(height, Math.ceil(top + h));
    for (let y = y0; y < y1; y++) mask.fill(1, y * width + x0, y * width + x1);
  }
  return mask;
}

// Every channel of every pixel outside the mask; the first differences in reading order.
export function comparePictures(width, height, expected, actual, mask, keep = 10) {
  const result = { count: 0, first: [] };
  for (let at = 0; at < width * height; at++) {
    if (mask[at]) continue;
    const p = at * 4;
    if (
      expected[p] === actual[p] &&
      expected[p + 1] === actual[p + 1] &&
      expected[p + 2] === actual[p + 2] &&
      expected[p + 3] === actual[p + 3]
    ) {
      continue;
    }
    result.count++;
    if (result.first.length < keep) {
      result.first.push({
        x: at % width,
        y: Math.floor(at / width),
        expected: [...expected.subarray(p, p + 4)],
        actual: [...actual.subarray(p, p + 4)],
      });
    }
  }
  return result;
}

// Left-out pixels dark, equal ones faint grey, differing ones red.
export function diffPicture(width, height, expected, actual, mask) {
  const out = Buffer.alloc(width * height * 4);
  for (let at = 0; at < width * height; at++) {
    const p = at * 4;
    let rgb;
    if (mask[at]) {
      rgb = [32, 32, 48];
    } else if (expected.compare(actual, p, p + 4, p, p + 4) === 0) {
      const grey = 64 + Math.round((expected[p] + expected[p + 1] + expected[p + 2]) / 12);
      rgb = [grey, grey, grey];
    } else {
      rgb = [255, 0, 0];
    }
    out.set([...rgb, 255], p);
  }
  return out;
}

export function writeMismatch(dir, name, width, height, expected, actual, mask) {
  mkdirSync(dir, { recursive: true });
  const files = {
    desktop: join(dir, `${name}-desktop.png`),
    page: join(dir, `${name}-page.png`),
    diff: join(dir, `${name}-diff.png`),
  };
  writeFileSync(files.desktop, encodePng(width, height, expected));
  writeFileSync(files.page, encodePng(width, height, actual));
  const diff = diffPicture(width, height, expected, actual, mask);
  writeFileSync(files.diff, encodePng(width, height, diff));
  return files;
}

export function describeDifferences(result) {
  const lines = [`${result.count} pixels differ; first:`];
  for (const d of result.first) {
    lines.push(`  (${d.x}, ${d.y}) desktop ${d.expected.join(',')} page ${d.actual.join(',')}`);
  }
  return lines.join('\n');
}

// A desktop snapshot against the page's, both `width` x `height`: the stock controls of either
// side, the desktop's timed panels and the `more` rectangles left out. Empty when they agree;
// otherwise the differences and the pictures written to `dir` as `name`-*.png.
export function snapshotsDiffer(dir, name, width, height, desktop, page, more = []) {
  const mask = maskOf(width, height, [
    ...Object.values(desktop.stockControls),
    ...Object.values(page.stockControls),
    ...Object.values(desktop.timedPanels),
    ...more,
  ]);
  const pixels = comparePictures(width, height, desktop.rgba, page.rgba, mask);
  if (pixels.count === 0) return '';
  const files = writeMismatch(dir, name, width, height, desktop.rgba, page.rgba, mask);
  return `${describeDifferences(pixels)}\n  pictures: ${files.desktop} ${files.page} ${files.diff}`;
}
