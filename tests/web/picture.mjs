// Ctrl+S in the page: the browser downloads grafico.png, the plotting area's 600 x 600 pixels.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { FunzioniPage } from './page.mjs';

export const PLOT = { x: 4, y: 4, size: 600 };

// Runs in the page: how many pixels of the PNG differ from the canvas's plotting area.
export async function differingPixels(base64, plot) {
  const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
  const picture = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
  if (picture.width !== plot.size || picture.height !== plot.size) {
    return `the picture is ${picture.width} x ${picture.height}`;
  }
  const canvas = new OffscreenCanvas(plot.size, plot.size);
  const context = canvas.getContext('2d');
  context.drawImage(picture, 0, 0);
  const saved = context.getImageData(0, 0, plot.size, plot.size).data;
  const shown = document.getElementById('funzioni-canvas').getContext('2d')
    .getImageData(plot.x, plot.y, plot.size, plot.size).data;
  let count = 0;
  for (let i = 0; i < saved.length; i += 4) {
    if (saved[i] !== shown[i] || saved[i + 1] !== shown[i + 1] || saved[i + 2] !== shown[i + 2] ||
        saved[i + 3] !== shown[i + 3]) ++count;
  }
  return count === 0 ? '' : `${count} pixels differ from the plotting area`;
}

export async function savedPictureIsThePlot(browser, url, watch) {
  const page = await FunzioniPage.open(browser, url, watch);
  const dir = mkdtempSync(join(tmpdir(), 'funzioni-web-picture-'));
  try {
    // A curve on and the pointer away, so that the plotting area shows what it computed.
    await page.perform({ do: 'click', x: 245, y: 632 });
    await page.perform({ do: 'move', x: 973, y: 719 });
    const file = await page.download(dir, async () => {
      await page.page.keyboard.down('Control');
      await page.page.keyboard.press('KeyS');
      await page.page.keyboard.up('Control');
    });
    if (file.name !== 'grafico.png') return `downloaded as ${file.name}`;
    return await page.page.evaluate(differingPixels, file.bytes.toString('base64'), PLOT);
  } finally {
    rmSync(dir, { recursive: true, force: true });
    await page.close();
  }
}
