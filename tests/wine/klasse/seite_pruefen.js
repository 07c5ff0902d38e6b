// klasse.html in a real browser: Debian's chromium, driven by playwright-core
// (scripts/setup.sh puts it into build/werkzeuge). Loads the page from a
// file:// URL and checks what the teacher relies on: no console errors,
// nothing fetched from elsewhere, one row per learner, a row opens to its
// diagram, the columns sort.
//   node seite_pruefen.js WERKZEUGE KLASSE.HTML LERNENDE [BILD.png]
"use strict";
const path = require("path");
const url = require("url");
const [werkzeuge, seite, lernende, bild] = process.argv.slice(2);
let chromium;
try {
  ({ chromium } = require(path.resolve(werkzeuge, "node_modules", "playwright-core")));
} catch (e) {
  console.log(`FEHLER: playwright-core fehlt in ${werkzeuge}; scripts/setup.sh installiert es (und chromium)`);
  process.exit(1);
}

function pruefen(wahr, text) {
  if (!wahr) throw new Error(text);
}

(async () => {
  const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args: ["--no-sandbox"] });
  try {
    const page = await browser.newPage({ viewport: { width: 1100, height: 900 } });
    const fehler = [];
    page.on("console", (m) => m.type() === "error" && fehler.push(m.text()));
    page.on("pageerror", (e) => fehler.push(String(e)));
    page.on("request", (r) => {
      if (!/^(file|data):/.test(r.url())) fehler.push("lädt aus dem Netz: " + r.url());
    });
    await page.goto(url.pathToFileURL(path.resolve(seite)).href);

    const zeilen = page.locator("#klasse tbody");
    pruefen((await zeilen.count()) === Number(lernende), `${await zeilen.count()} Zeilen statt ${lernende}`);

    // A row opens to its diagram, drawn (the image decoded), and closes again.
    const erste = zeilen.nth(0);
    pruefen(!(await erste.locator("img.diagramm").isVisible()), "das Diagramm ist schon offen");
    await erste.locator("tr.zeile td").nth(1).click();
    const diagramm = erste.locator("img.diagramm");
    pruefen(await diagramm.isVisible(), "die Zeile zeigt kein Diagramm");
    pruefen((await diagramm.evaluate((i) => i.complete && i.naturalWidth)) > 0, "das Diagramm ist leer");
    await erste.locator("button.auf").click();
    pruefen(!(await diagramm.isVisible()), "die Zeile schließt nicht");

    // Sorting: by name both ways, by the number of faults as numbers.
    const spalte = (n) =>
      page.$$eval(`#klasse tbody tr.zeile td:nth-child(${n})`, (z) => z.map((t) => t.textContent.replace("▸", "").trim()));
    const kopf = (text) => page.locator("#klasse thead button", { hasText: text });
    await kopf("Name").click();
    const auf = await spalte(1);
    pruefen(JSON.stringify(auf) === JSON.stringify([...auf].sort((a, b) => a.localeCompare(b, "de"))), "nicht nach Name sortiert: " + auf);
    await kopf("Name").click();
    pruefen(JSON.stringify(await spalte(1)) === JSON.stringify([...auf].reverse()), "nicht absteigend nach Name sortiert");
    await kopf("Fehler").click();
    const zahlen = (await spalte(3)).map(Number);
    pruefen(zahlen.every((z, i) => i === 0 || zahlen[i - 1] <= z), "nicht nach Fehlern sortiert: " + zahlen);
    pruefen((await zeilen.count()) === Number(lernende), "beim Sortieren gingen Zeilen verloren");

    if (bild) {
      // For the docs: the class by verdict, one learner with faults opened.
      await kopf("Urteil").click();
      await page.locator("#klasse tbody", { hasText: "Fehler" }).first().locator("tr.zeile td").nth(1).click();
      await page.screenshot({ path: bild, fullPage: true });
    }
    pruefen(fehler.length === 0, "Fehler in der Seite: " + fehler.join("; "));
  } finally {
    await browser.close();
  }
})().catch((e) => {
  console.log("FEHLER: klasse.html im Browser: " + e.message);
  process.exit(1);
});
