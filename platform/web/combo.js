// An editable drop-down list after the ARIA combobox pattern: a text box the user may type
// into, a button that drops the list, and the list, chosen by mouse or by arrow keys. As a
// desktop drop-down behaves, typed text is never replaced by an item the user did not move
// to, and the keys of an input method's open composition are left to it.

// Made around a text box in its box, or taken over where the page already holds its parts.
export class Combo {
  constructor(input, box) {
    this.input = input;
    this.list = box.querySelector('[role="listbox"]');
    let drop = box.querySelector('button.drop');
    if (!this.list) {
      this.list = document.createElement('ul');
      this.list.setAttribute('role', 'listbox');
      this.list.id = `${input.id}-list`;
      this.list.hidden = true;
      this.list.tabIndex = -1;
      drop = document.createElement('button');
      drop.type = 'button';
      drop.tabIndex = -1;
      drop.className = 'drop';
      drop.setAttribute('aria-label', 'Show the list');
      drop.setAttribute('aria-controls', this.list.id);
      input.setAttribute('role', 'combobox');
      input.setAttribute('aria-autocomplete', 'none');
      input.setAttribute('aria-controls', this.list.id);
      input.setAttribute('aria-expanded', 'false');
      // The list is named by the field's caption, as the field is.
      const label = document.querySelector(`label[for="${input.id}"]`);
      if (label) this.list.setAttribute('aria-labelledby', label.id);
      box.append(input, drop, this.list);
    }
    this.made = this.items.length; // items are numbered for their ids, never twice
    this.active = -1; // the highlighted item, which Enter takes; -1 once the user types

    drop.addEventListener('mousedown', (e) => e.preventDefault()); // the text box keeps the keys
    drop.addEventListener('click', () => {
      input.focus();
      this.list.hidden ? this.open() : this.close();
    });
    this.list.addEventListener('mousedown', (e) => e.preventDefault());
    this.list.addEventListener('click', (e) => {
      const item = e.target.closest('li');
      if (item) this.pick(this.items.indexOf(item));
    });
    input.addEventListener('blur', () => this.close());
    input.addEventListener('keydown', (e) => this.key(e));
    input.addEventListener('input', () => this.highlight(-1));
  }

  get items() {
    return [...this.list.children];
  }

  clear() {
    this.list.replaceChildren();
  }

  // Filled anew with the items the page's HTML already holds: they are kept while the ones
  // added match them, and settle() drops what was not added again.
  refill() {
    this.kept = 0;
  }

  settle() {
    if (this.kept === undefined) return;
    this.items.slice(this.kept).forEach((item) => item.remove());
    delete this.kept;
  }

  add(item, place) {
    if (this.kept !== undefined) {
      if (place === this.kept && this.items[place]?.textContent === item) return void this.kept++;
      this.settle();
    }
    const option = document.createElement('li');
    option.setAttribute('role', 'option');
    option.id = `${this.list.id}-${this.made++}`;
    option.textContent = item;
    option.setAttribute('aria-selected', 'false');
    this.list.insertBefore(option, this.list.children[place] ?? null);
  }

  select(place) {
    const item = this.items[place];
    if (!item) return;
    this.mark(item);
    this.input.value = item.textContent;
  }

  // The one item announced as selected, or none.
  mark(item) {
    for (const option of this.items) option.setAttribute('aria-selected', String(option === item));
  }

  open() {
    if (!this.items.length) return;
    this.list.hidden = false;
    this.input.setAttribute('aria-expanded', 'true');
    // The item the text is, if any: Enter then keeps the text, typed or picked, as it is.
    this.highlight(this.items.findIndex((item) => item.textContent === this.input.value));
  }

  close() {
    this.list.hidden = true;
    this.input.setAttribute('aria-expanded', 'false');
    this.highlight(-1);
  }

  // Highlights the item at `place`, or none at -1.
  highlight(place) {
    const items = this.items;
    this.active = place < 0 ? -1 : Math.min(place, items.length - 1);
    const item = items[this.active];
    items.forEach((each) => each.classList.toggle('active', each === item));
    this.mark(item);
    if (!item) return this.input.removeAttribute('aria-activedescendant');
    this.input.setAttribute('aria-activedescendant', item.id);
    item.scrollIntoView?.({ block: 'nearest' });
  }

  // Moves the highlight by `step` items, from the typed text's item where nothing is lit.
  move(step) {
    const from = this.active >= 0 ? this.active
      : this.items.findIndex((item) => item.textContent === this.input.value);
    this.highlight(from < 0 ? 0 : Math.max(from + step, 0));
  }

  pick(place) {
    this.select(place);
    this.close();
  }

  key(e) {
    if (e.isComposing || e.keyCode === 229) return; // the input method's
    const open = !this.list.hidden;
    const handled = {
      ArrowDown: () => (!open ? this.open() : e.altKey ? null : this.move(1)),
      ArrowUp: () => (!open ? this.open() : e.altKey ? this.close() : this.move(-1)),
      PageDown: () => open && this.move(8),
      PageUp: () => open && this.move(-8),
      Enter: () => (this.active >= 0 ? this.pick(this.active) : this.close()),
      Escape: () => this.close(),
      F4: () => (open ? this.close() : this.open()),
    }[e.key];
    // Escape and Enter on a closed list are the page's; everything else here is the list's.
    if (!handled || (!open && (e.key === 'Enter' || e.key === 'Escape'))) return;
    handled();
    e.preventDefault();
    e.stopPropagation();
  }
}
