// The page's accessibility tree as chromium gives it to screen readers, against the desktop
// window's (the reference's "controls"): every control with the desktop's role, name,
// description, value, range and checked state, in the desktop's order; and a screen reader's own
// actions on the mirrors reaching the program.
import { FunzioniPage } from './page.mjs';

// The desktop's roles as chromium names them.
const ROLES = {
  slider: 'slider',
  'check box': 'checkbox',
  'push button': 'button',
  label: 'LabelText',
  image: 'image',
  list: 'listbox',
  text: 'textbox',
};
const PAGE_ROLES = new Set(Object.values(ROLES));
// The clock, or its panel before its first tick.
const CLOCK = /^(\d\d:\d\d:\d\d)?$/;

// The controls in the page's tree, in its order, as the reference writes the desktop's.
export async function pageControls(page) {
  const session = await page.page.createCDPSession();
  try {
    const { nodes } = await session.send('Accessibility.getFullAXTree');
    const byId = new Map(nodes.map((n) => [n.nodeId, n]));
    const inOrder = [];
    const walk = (node) => {
      inOrder.push(node);
      for (const child of node.childIds ?? []) if (byId.has(child)) walk(byId.get(child));
    };
    walk(nodes[0]);
    const controls = [];
    for (const node of inOrder) {
      if (node.ignored || !PAGE_ROLES.has(node.role?.value)) continue;
      controls.push(await controlOf(session, byId, node));
    }
    return controls;
  } finally {
    await session.detach();
  }
}

async function controlOf(session, byId, node) {
  const props = Object.fromEntries((node.properties ?? []).map((p) => [p.name, p.value.value]));
  const role = node.role.value;
  // A label is named by its text.
  const text = (node.childIds ?? []).map((id) => byId.get(id)?.name?.value ?? '').join('');
  const control = {
    role,
    name: role === 'LabelText' && !node.name?.value ? text : node.name?.value ?? '',
    description: node.description?.value ?? '',
    focusable: props.focusable === true,
  };
  if (role === 'slider') {
    const { node: element } = await session.send('DOM.describeNode', {
      backendNodeId: node.backendDOMNodeId,
    });
    const attributes = element.attributes ?? [];
    control.value = attributes[attributes.indexOf('aria-valuetext') + 1];
    control.now = Number(node.value?.value);
    control.min = props.valuemin;
    control.max = props.valuemax;
  }
  if (role === 'checkbox') control.checked = props.checked === 'true';
  return control;
}

// What differs between the desktop's controls and the page's, one line each.
export function compareControls(desktop, page) {
  const problems = [];
  const count = Math.max(desktop.length, page.length);
  for (let i = 0; i < count; i++) {
    const want = desktop[i];
    const got = page[i];
    if (!want || !got) {
      problems.push(`control ${i}: desktop ${JSON.stringify(want)} page ${JSON.stringify(got)}`);
      continue;
    }
    const differs = [];
    if (ROLES[want.role] !== got.role) differs.push(`role ${got.role}`);
    const sameName = want.name === got.name || (CLOCK.test(want.name) && CLOCK.test(got.name));
    if (!sameName) differs.push(`name "${got.name}"`);
    if (want.description !== got.description) differs.push(`description "${got.description}"`);
    if (want.focusable !== got.focusable) differs.push(`focusable ${got.focusable}`);
    if (want.checked !== got.checked) differs.push(`checked ${got.checked}`);
    for (const key of ['value', 'min', 'max']) {
      if (want[key] !== got[key]) differs.push(`${key} ${got[key]}`);
    }
    if (want.now !== undefined && !(Math.abs(want.now - got.now) < 1e-4)) {
      differs.push(`now ${got.now} (desktop ${want.now})`);
    }
    if (differs.length > 0) problems.push(`${want.role} "${want.name}": ${differs.join(', ')}`);
  }
  return problems.slice(0, 12).join('\n');
}

// A screen reader steps a slider through the element's value and presses a check box and a
// button by clicking them: the program does as for the desktop's requests, and the tree shows it.
export async function screenReaderActionsReachTheProgram(browser, url, watch) {
  const page = await FunzioniPage.open(browser, url, watch);
  try {
    const find = async (name) => (await pageControls(page)).find((c) => c.name === name);
    // On the mirror named `name`, as the screen reader does it.
    const act = async (name, action) => {
      await page.page.evaluate(
        (wanted, body) => {
          const mirror = [...document.querySelectorAll('[data-drawn]')].find(
            (e) => (e.getAttribute('aria-label') || e.textContent) === wanted);
          new Function('e', body)(mirror);
        },
        name,
        action,
      );
      await page.waitForIdle();
    };
    // One step up, as chromium's increment does; then a value set outright (a drag there).
    const setZoom = 'e.value = String(VALUE); e.dispatchEvent(new Event("input", {bubbles: true}));';
    await act('Zoom', setZoom.replace('VALUE', 'Number(e.value) + Number(e.step)'));
    const stepped = await find('Zoom');
    await act('Zoom', setZoom.replace('VALUE', '75'));
    const set = await find('Zoom');
    await act('a.x', 'e.click();');
    const toggled = await find('a.x');
    // The focus a screen reader puts on the slider is the program's: the keypad steps it.
    await act('Zoom', 'e.focus();');
    await page.perform({ do: 'key', key: 'KeypadPlus' });
    const keypad = await find('Zoom');
    await act('Tutte accese', 'e.click();');
    const allOn = (await pageControls(page)).filter((c) => c.role === 'checkbox');
    const problems = [];
    if (stepped.value !== '10.2') problems.push(`one step up shows ${stepped.value}, not 10.2`);
    if (set.value !== '15.0') problems.push(`zoom set to 75 shows ${set.value}, not 15.0`);
    if (!toggled.checked) problems.push('clicking the check box a.x left it unchecked');
    if (keypad.value !== '15.2') problems.push(`the keypad's + on the slider shows ${keypad.value}`);
    if (!allOn.every((c) => c.checked)) problems.push('"Tutte accese" left curves off');
    return problems.join('\n');
  } finally {
    await page.close();
  }
}
