#!/usr/bin/env python3
"""Generate alimenti.tsv and nutrienti.tsv, the food tables shipped with Nutrilo.

The nutrient values come from the USDA National Nutrient Database for
Standard Reference (public domain).  Each row keeps its USDA NDB number so
that it can be traced back to the source.  This script holds the list of
foods we ship (NDB number and Italian name) and copies the values, per
100 g of edible portion, from the USDA files:

    usda-sr-abbrev.txt    field 1 NDB, 3 water, 4 kcal, 5 protein, 6 fat,
                          8 carbohydrate, 9-46 the nutrients of
                          nutrienti.tsv (see NUTRIENTS), 51 refuse (percent)
    usda-sr-food-des.txt  field 1 NDB, 2 food group, 3 long description

alimenti.tsv holds the energy and the main components; nutrienti.tsv, one
row per food keyed by its name, holds fibre, sugars, fatty acids,
cholesterol, minerals and vitamins.  A value the USDA file leaves empty
(not measured) stays empty, never 0.  data/README.md describes the columns
and their units.

Usage:
    python3 data/make_foods.py [USDA_DIR] [-o OUTPUT] [-n NUTRIENTS]
                               [--check] [--list]

USDA_DIR defaults to ../shared/data relative to the repository root;
OUTPUT and NUTRIENTS default to alimenti.tsv and nutrienti.tsv next to this
script.  --check only verifies the list and the existing outputs without
writing; --list prints each food next to its USDA description, for review.
"""

import argparse
import os
import sqlite3
import sys

MAX_NAME = 50  # the menu table stores food names in 50 characters

# The database file of version 1.1 (in USDA_DIR): its foods are referred to
# by name in stored weeks, so each must stay, with the same values.
PREVIOUS_VERSION = "alimenti-1.1.mdb"

# Foods whose USDA energy uses low, food-specific factors (bran and cocoa
# powder), so they fall far below the general Atwater estimate.
LOW_ENERGY_FACTOR = {"20033", "20077", "19165"}
# Foods outside the beverages (NDB 14xxx) whose energy is largely alcohol.
ALCOHOL = set()

HEADER = ["ndb", "Alimento", "%edibile", "Acqua", "Proteine", "Lipidi",
          "Carboidrati", "kcal100"]

# The columns of nutrienti.tsv after "alimento" and "fonte": (column, USDA
# field number counted from 1, unit), per 100 g of edible portion.  This
# release of the USDA abbreviated file has no vitamin D field (field 42 is
# vitamin K, 43-46 the fatty acids and cholesterol), so vitamina_d stays
# empty until a table that measures it is imported.
NUTRIENTS = [
    ("fibra", 9, "g"),            # Fiber_TD
    ("zuccheri", 10, "g"),        # Sugar_Tot
    ("saturi", 43, "g"),          # FA_Sat
    ("monoinsaturi", 44, "g"),    # FA_Mono
    ("polinsaturi", 45, "g"),     # FA_Poly
    ("colesterolo", 46, "mg"),    # Cholestrl
    ("sodio", 16, "mg"),
    ("potassio", 15, "mg"),
    ("calcio", 11, "mg"),
    ("fosforo", 14, "mg"),
    ("magnesio", 13, "mg"),
    ("ferro", 12, "mg"),
    ("zinco", 17, "mg"),
    ("vitamina_a", 34, "µg"),     # Vit_A_RAE, retinol activity equivalents
    ("vitamina_d", None, "µg"),   # not in this file
    ("vitamina_e", 41, "mg"),     # alpha-tocopherol
    ("vitamina_c", 21, "mg"),
    ("tiamina", 22, "mg"),
    ("riboflavina", 23, "mg"),
    ("niacina", 24, "mg"),
    ("vitamina_b6", 26, "mg"),
    ("folati", 30, "µg"),         # Folate_DFE, dietary folate equivalents
    ("vitamina_b12", 32, "µg"),
]
NUTRIENT_HEADER = ["alimento", "fonte"] + [n for n, _, _ in NUTRIENTS]

# (NDB number, Italian name).  Grouped as a dietitian would look for them.
FOODS = [
    # --- Cereali, farine e pasta ---
    ("20420", "Pasta di semola, cruda"),
    ("20421", "Pasta di semola, cotta"),
    ("20124", "Pasta integrale, cruda"),
    ("20409", "Pasta all'uovo secca, cruda"),
    ("20410", "Pasta all'uovo secca, cotta"),
    ("20093", "Pasta fresca, cruda"),
    ("20450", "Riso bianco, crudo"),
    ("20451", "Riso bianco, cotto"),
    ("20036", "Riso integrale, crudo"),
    ("20037", "Riso integrale, cotto"),
    ("20005", "Orzo perlato, crudo"),
    ("20140", "Farro, crudo"),
    ("20035", "Quinoa, cruda"),
    ("20031", "Miglio, crudo"),
    ("20028", "Cuscus, crudo"),
    ("08120", "Fiocchi d'avena"),
    ("20481", "Farina di frumento, tipo 00"),
    ("20080", "Farina integrale di frumento"),
    ("20466", "Semola di grano duro"),
    ("20422", "Farina di mais (per polenta)"),
    ("20027", "Amido di mais (maizena)"),
    ("08076", "Corn flakes"),
    ("42184", "Muesli con frutta secca"),
    # --- Pane, prodotti da forno, pizza ---
    ("18033", "Pane comune di frumento"),
    ("18353", "Rosetta (michetta)"),
    ("18075", "Pane integrale"),
    ("18069", "Pane in cassetta (pancarrè)"),
    ("18060", "Pane di segale"),
    ("18080", "Grissini"),
    ("18224", "Fette biscottate"),
    ("18228", "Cracker salati"),
    ("18235", "Cracker integrali"),
    ("19051", "Gallette di riso"),
    ("18079", "Pangrattato"),
    ("21224", "Pizza margherita, surgelata, cotta"),
    ("18374", "Lievito di birra, fresco"),
    # --- Dolci da forno e biscotti ---
    ("18239", "Cornetto semplice"),
    ("18150", "Biscotti secchi"),
    ("18155", "Biscotti frollini al burro"),
    ("18159", "Biscotti con gocce di cioccolato"),
    ("18175", "Savoiardi"),
    ("18133", "Pan di Spagna"),
    ("18301", "Torta di mele"),
    # --- Legumi ---
    ("16019", "Fagioli borlotti, secchi"),
    ("16020", "Fagioli borlotti, secchi, bolliti"),
    ("16021", "Fagioli borlotti, in scatola"),
    ("16049", "Fagioli cannellini, secchi"),
    ("16050", "Fagioli cannellini, secchi, bolliti"),
    ("16051", "Fagioli cannellini, in scatola"),
    ("16032", "Fagioli rossi, secchi"),
    ("16056", "Ceci, secchi"),
    ("16057", "Ceci, secchi, bolliti"),
    ("16058", "Ceci, in scatola"),
    ("16069", "Lenticchie, secche"),
    ("16070", "Lenticchie, secche, bollite"),
    ("16052", "Fave, secche"),
    ("16077", "Lupini, bolliti"),
    ("16108", "Soia, semi secchi"),
    ("16427", "Tofu"),
    ("16120", "Bevanda di soia"),
    ("16137", "Hummus di ceci"),
    # --- Verdure e ortaggi ---
    ("11007", "Carciofi, crudi"),
    ("11011", "Asparagi, crudi"),
    ("11959", "Rucola"),
    ("11080", "Barbabietola rossa, cruda"),
    ("11090", "Broccoli, crudi"),
    ("11096", "Cime di rapa, crude"),
    ("11098", "Cavoletti di Bruxelles, crudi"),
    ("11109", "Cavolo cappuccio, crudo"),
    ("11114", "Cavolo verza, crudo"),
    ("11135", "Cavolfiore, crudo"),
    ("11124", "Carote, crude"),
    ("11143", "Sedano, crudo"),
    ("11147", "Bietola, cruda"),
    ("11152", "Cicoria, cruda"),
    ("11213", "Indivia scarola, cruda"),
    ("11952", "Radicchio rosso, crudo"),
    ("11251", "Lattuga romana, cruda"),
    ("11190", "Valerianella (songino), cruda"),
    ("11205", "Cetrioli, crudi"),
    ("11209", "Melanzane, crude"),
    ("11477", "Zucchine, crude"),
    ("11422", "Zucca gialla, cruda"),
    ("11333", "Peperoni verdi, crudi"),
    ("11821", "Peperoni rossi, crudi"),
    ("11529", "Pomodori maturi, crudi"),
    ("11531", "Pomodori pelati, in scatola"),
    ("11547", "Passata di pomodoro"),
    ("11546", "Concentrato di pomodoro"),
    ("11957", "Finocchi, crudi"),
    ("11052", "Fagiolini, crudi"),
    ("11304", "Piselli freschi, crudi"),
    ("11167", "Mais dolce, crudo"),
    ("11282", "Cipolle, crude"),
    ("11246", "Porri, crudi"),
    ("11215", "Aglio, crudo"),
    ("11429", "Ravanelli, crudi"),
    ("11457", "Spinaci, crudi"),
    ("11260", "Funghi champignon, crudi"),
    ("11352", "Patate, crude"),
    ("11367", "Patate, lessate senza buccia"),
    ("11674", "Patate al forno, con buccia"),
    ("21138", "Patatine fritte"),
    ("09195", "Olive verdi in salamoia"),
    ("09193", "Olive nere in salamoia"),
    ("02054", "Capperi in salamoia"),
    ("11297", "Prezzemolo, fresco"),
    # --- Frutta fresca ---
    ("09003", "Mela, con buccia"),
    ("09004", "Mela, senza buccia"),
    ("09252", "Pera"),
    ("09236", "Pesca"),
    ("09191", "Pesca noce (nettarina)"),
    ("09021", "Albicocche"),
    ("09279", "Susine"),
    ("09070", "Ciliegie"),
    ("09132", "Uva da tavola"),
    ("09089", "Fichi, freschi"),
    ("09287", "Fichi d'India"),
    ("09263", "Cachi"),
    ("09286", "Melagrana"),
    ("09316", "Fragole"),
    ("09302", "Lamponi"),
    ("09042", "More"),
    ("09050", "Mirtilli"),
    ("09200", "Arancia"),
    ("09218", "Mandarino"),
    ("09150", "Limone, senza buccia"),
    ("09111", "Pompelmo"),
    ("09326", "Anguria (cocomero)"),
    ("09181", "Melone cantalupo"),
    ("09184", "Melone bianco"),
    ("09040", "Banana"),
    ("09148", "Kiwi"),
    ("09266", "Ananas"),
    ("09176", "Mango"),
    ("09037", "Avocado"),
    # --- Frutta secca, conservata, semi ---
    ("09032", "Albicocche secche"),
    ("09094", "Fichi secchi"),
    ("09291", "Prugne secche"),
    ("09087", "Datteri secchi"),
    ("09298", "Uva passa (uvetta)"),
    ("09240", "Pesche sciroppate"),
    ("12061", "Mandorle, con guscio"),
    ("12062", "Mandorle pelate"),
    ("12120", "Nocciole, con guscio"),
    ("12122", "Nocciole tostate, sgusciate"),
    ("12155", "Noci, con guscio"),
    ("12147", "Pinoli, con guscio"),
    ("12151", "Pistacchi, con guscio"),
    ("12087", "Anacardi"),
    ("16390", "Arachidi tostate, non salate"),
    ("12097", "Castagne, crude"),
    ("12023", "Semi di sesamo"),
    ("12036", "Semi di girasole, con buccia"),
    ("12014", "Semi di zucca, con buccia"),
    ("12220", "Semi di lino"),
    # --- Carni: pollame ---
    ("05062", "Petto di pollo, crudo"),
    ("05064", "Petto di pollo, arrosto"),
    ("05006", "Pollo intero, con pelle, crudo"),
    ("05011", "Pollo, solo carne, crudo"),
    ("05075", "Coscia di pollo, con pelle, cruda"),
    ("05027", "Fegato di pollo, crudo"),
    ("05219", "Petto di tacchino, crudo"),
    ("05220", "Petto di tacchino, arrosto"),
    ("05141", "Anatra, solo carne, cruda"),
    ("05158", "Quaglia, solo carne, cruda"),
    ("17177", "Coniglio, crudo"),
    # --- Carni: bovino e vitello ---
    ("23601", "Manzo, filetto, crudo"),
    ("23609", "Manzo, fesa, cruda"),
    ("23597", "Manzo, girello, crudo"),
    ("23611", "Manzo, scamone, crudo"),
    ("13824", "Manzo, costata, cruda"),
    ("23562", "Manzo, carne macinata magra, cruda"),
    ("23572", "Manzo, carne macinata, cruda"),
    ("13325", "Fegato di bovino, crudo"),
    ("13341", "Trippa, cruda"),
    ("17099", "Vitello, fesa, cruda"),
    ("17107", "Vitello, lombata, cruda"),
    ("17142", "Vitello, carne macinata, cruda"),
    ("17202", "Fegato di vitello, crudo"),
    # --- Carni: suino, ovino, altre ---
    ("10060", "Maiale, filetto, crudo"),
    ("10024", "Maiale, lonza magra, cruda"),
    ("10036", "Maiale, braciola, cruda"),
    ("10088", "Maiale, costine, crude"),
    ("17011", "Agnello, cosciotto, crudo"),
    ("17239", "Agnello, costolette, crude"),
    ("17170", "Cavallo, carne, cruda"),
    # --- Salumi ---
    ("10141", "Prosciutto crudo, magro"),
    ("07029", "Prosciutto cotto"),
    ("07028", "Prosciutto cotto, magro"),
    ("13350", "Bresaola"),
    ("07050", "Mortadella"),
    ("07926", "Salame"),
    ("07057", "Salamino piccante"),
    ("07036", "Salsiccia di maiale, cruda"),
    ("07023", "Würstel"),
    ("10123", "Pancetta affumicata, cruda"),
    ("10165", "Lardo"),
    # --- Pesce, crostacei, molluschi ---
    ("15001", "Alici (acciughe), crude"),
    ("15002", "Alici sott'olio, sgocciolate"),
    ("15091", "Spigola (branzino), cruda"),
    ("15015", "Merluzzo, crudo"),
    ("15018", "Baccalà (merluzzo salato essiccato)"),
    ("15028", "Sogliola, cruda"),
    ("15031", "Cernia, cruda"),
    ("15054", "Rana pescatrice (coda di rospo), cruda"),
    ("15110", "Pesce spada, crudo"),
    ("15117", "Tonno fresco, crudo"),
    ("15119", "Tonno sott'olio, sgocciolato"),
    ("15121", "Tonno al naturale, sgocciolato"),
    ("15046", "Sgombro, crudo"),
    ("15088", "Sardine sott'olio, sgocciolate"),
    ("15076", "Salmone, crudo"),
    ("15179", "Salmone affumicato"),
    ("15114", "Trota, cruda"),
    ("15149", "Gamberi, crudi"),
    ("15175", "Calamari, crudi"),
    ("15163", "Seppie, crude"),
    ("15166", "Polpo, crudo"),
    ("15164", "Cozze, crude"),
    ("15157", "Vongole, crude"),
    ("15171", "Ostriche, crude"),
    # --- Uova ---
    ("01123", "Uovo di gallina, intero, crudo"),
    ("01124", "Albume d'uovo, crudo"),
    ("01125", "Tuorlo d'uovo, crudo"),
    ("01129", "Uovo sodo"),
    ("01128", "Uovo fritto"),
    ("01130", "Frittata semplice"),
    ("01140", "Uovo di quaglia, crudo"),
    # --- Latte e yogurt ---
    ("01077", "Latte vaccino intero"),
    ("01079", "Latte vaccino parzialmente scremato"),
    ("01085", "Latte vaccino scremato"),
    ("01106", "Latte di capra"),
    ("01090", "Latte intero in polvere"),
    ("01095", "Latte condensato zuccherato"),
    ("01116", "Yogurt intero, naturale"),
    ("01117", "Yogurt parzialmente scremato, naturale"),
    ("01118", "Yogurt magro, naturale"),
    ("01120", "Yogurt alla frutta"),
    ("01050", "Panna da cucina"),
    ("01053", "Panna fresca da montare"),
    # --- Formaggi ---
    ("01033", "Parmigiano"),
    ("01032", "Parmigiano grattugiato"),
    ("01038", "Pecorino romano"),
    ("01026", "Mozzarella vaccina (fior di latte)"),
    ("01028", "Mozzarella, parzialmente scremata"),
    ("01036", "Ricotta vaccina"),
    ("01037", "Ricotta vaccina, parzialmente scremata"),
    ("01035", "Provolone"),
    ("01020", "Fontina"),
    ("01004", "Formaggio erborinato (tipo gorgonzola)"),
    ("01006", "Brie"),
    ("01040", "Emmental"),
    ("01023", "Groviera"),
    ("01018", "Edam"),
    ("01019", "Feta"),
    ("01012", "Fiocchi di latte"),
    ("01017", "Formaggio fresco spalmabile"),
    ("01042", "Formaggio fuso a fette (sottilette)"),
    ("01159", "Caprino fresco"),
    # --- Oli e grassi ---
    ("04053", "Olio extravergine di oliva"),
    ("04506", "Olio di girasole"),
    ("04518", "Olio di mais"),
    ("04042", "Olio di arachide"),
    ("04582", "Olio di colza"),
    ("04058", "Olio di sesamo"),
    ("04517", "Olio di vinaccioli"),
    ("04047", "Olio di cocco"),
    ("01145", "Burro"),
    ("04628", "Margarina"),
    ("04002", "Strutto"),
    # --- Zuccheri, dolci, snack ---
    ("19335", "Zucchero semolato"),
    ("19334", "Zucchero di canna"),
    ("19296", "Miele"),
    ("19297", "Confettura di frutta"),
    ("19303", "Marmellata di arance"),
    ("19120", "Cioccolato al latte"),
    ("19902", "Cioccolato fondente (45-59% cacao)"),
    ("19904", "Cioccolato fondente extra (70-85% cacao)"),
    ("19125", "Crema spalmabile alle nocciole e cacao"),
    ("19165", "Cacao amaro in polvere"),
    ("19095", "Gelato alla crema"),
    ("19270", "Gelato al cioccolato"),
    ("19097", "Sorbetto all'arancia"),
    ("19094", "Crème caramel"),
    ("19182", "Mousse al cioccolato"),
    ("19183", "Budino al cioccolato"),
    ("19201", "Budino alla vaniglia"),
    ("19107", "Caramelle dure"),
    ("19858", "Confetti (mandorle zuccherate)"),
    ("19411", "Patatine in busta"),
    ("19034", "Popcorn"),
    # --- Bevande ---
    ("14555", "Acqua minerale naturale"),
    ("14210", "Caffè espresso"),
    ("14209", "Caffè lungo (filtro)"),
    ("14237", "Caffè d'orzo, preparato"),
    ("14355", "Tè, infuso"),
    ("14545", "Camomilla, infuso"),
    ("09206", "Spremuta d'arancia"),
    ("09209", "Succo d'arancia"),
    ("09152", "Succo di limone"),
    ("09016", "Succo di mela"),
    ("09135", "Succo d'uva"),
    ("09273", "Succo d'ananas"),
    ("11886", "Succo di pomodoro"),
    ("09251", "Nettare di pesca"),
    ("14400", "Bevanda tipo cola"),
    ("14146", "Bevanda tipo cola, senza zucchero"),
    ("14150", "Aranciata"),
    ("14003", "Birra"),
    ("14096", "Vino rosso"),
    ("14106", "Vino bianco"),
    ("14057", "Vino da dessert, dolce"),
    ("14037", "Superalcolici 40% vol (gin, rum, vodka, whisky)"),
    # --- Condimenti, salse, piatti pronti ---
    ("02047", "Sale da cucina"),
    ("02069", "Aceto balsamico"),
    ("02068", "Aceto di vino rosso"),
    ("04025", "Maionese"),
    ("11935", "Ketchup"),
    ("06931", "Sugo di pomodoro pronto"),
    ("06039", "Minestrone pronto"),
    ("06194", "Brodo di pollo pronto"),
    ("06476", "Brodo di carne da dado"),
]


def read_usda(path):
    """Read a USDA SR file into {ndb: [fields]}, with the ~ quotes removed."""
    rows = {}
    # The files are documented as ASCII, but a few descriptions carry
    # Latin-1 accented letters; Latin-1 decodes any byte.
    with open(path, encoding="latin-1", newline="") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if not line:
                continue
            fields = [x[1:-1] if len(x) >= 2 and x[0] == "~" and x[-1] == "~"
                      else x for x in line.split("^")]
            rows[fields[0]] = fields
    return rows


def edible_percent(refuse):
    """100 - refuse, written without a needless decimal part."""
    r = float(refuse) if refuse.strip() else 0.0
    e = 100.0 - r
    return str(int(e)) if e == int(e) else ("%g" % e)


def check_list():
    errors = []
    seen_ndb, seen_name = {}, {}
    for ndb, name in FOODS:
        if len(ndb) != 5 or not ndb.isdigit():
            errors.append("bad NDB number %r" % ndb)
        if ndb in seen_ndb:
            errors.append("NDB %s used twice (%s / %s)" % (ndb, seen_ndb[ndb], name))
        seen_ndb[ndb] = name
        key = name.casefold()
        if key in seen_name:
            errors.append("name used twice: %s" % name)
        seen_name[key] = ndb
        if len(name) > MAX_NAME:
            errors.append("name longer than %d characters: %s" % (MAX_NAME, name))
        if not name[0].isupper():
            errors.append("name must start upper case: %s" % name)
        if "\t" in name or name != name.strip():
            errors.append("bad whitespace in name: %r" % name)
    return errors


def check_previous_version(path, rows):
    """Every food of the previous version's file stays, with its values."""
    if not os.path.exists(path):
        return ["%s not found: cannot check the previous version's foods" % path]
    ours = {r[1]: r for r in rows}
    errors = []
    db = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
    try:
        for old in db.execute('SELECT Alimento, "%edibile", Acqua, Proteine, '
                              'Lipidi, Carboidrati, kcal100 FROM alimenti'):
            r = ours.get(old[0])
            if r is None:
                errors.append("food of the previous version dropped: %s" % old[0])
                continue
            for was, now in zip(old[1:], r[2:]):
                if (was is None) != (now == "") or \
                        (was is not None and abs(was - float(now)) > 1e-9):
                    errors.append("food of the previous version changed: %s" % old[0])
                    break
    finally:
        db.close()
    return errors


def build_rows(abbrev):
    rows, errors = [], []
    for ndb, name in FOODS:
        f = abbrev.get(ndb)
        if f is None:
            errors.append("NDB %s (%s) is not in the USDA table" % (ndb, name))
            continue
        if len(f) < 51:
            errors.append("NDB %s: short record" % ndb)
            continue
        water, kcal, prot, fat, carb = f[2], f[3], f[4], f[5], f[7]
        rows.append([ndb, name, edible_percent(f[50]), water, prot, fat, carb, kcal])
        try:
            k = float(kcal)
        except ValueError:
            errors.append("NDB %s (%s): no energy value" % (ndb, name))
            continue
        if not 0 <= k <= 902:
            errors.append("NDB %s (%s): implausible kcal %s" % (ndb, name, kcal))
        # Energy roughly from the Atwater factors, fibre (field 9) counted at
        # 2 kcal/g; USDA uses food-specific factors and alcohol (7 kcal/g)
        # is not a component here, so only gross mismatches are reported.
        try:
            fib = float(f[8] or 0)
            est = (4 * float(prot or 0) + 9 * float(fat or 0)
                   + 4 * (float(carb or 0) - fib) + 2 * fib)
        except ValueError:
            errors.append("NDB %s (%s): non-numeric value" % (ndb, name))
            continue
        # NDB numbers 14xxx are beverages, whose energy comes largely
        # from alcohol.
        if abs(est - k) > max(25.0, 0.2 * k) and not ndb.startswith("14") \
                and ndb not in LOW_ENERGY_FACTOR and ndb not in ALCOHOL:
            errors.append("NDB %s (%s): kcal %s far from Atwater estimate %.0f"
                          % (ndb, name, kcal, est))
        total = sum(float(x or 0) for x in (water, prot, fat, carb))
        if total > 103.0:  # analytical rounding leaves up to ~3 g
            errors.append("NDB %s (%s): components add up to %.1f g" % (ndb, name, total))
    return rows, errors


def build_nutrients(abbrev):
    """One row per food: name, source, then NUTRIENTS (empty if unmeasured)."""
    rows, errors = [], []
    for ndb, name in FOODS:
        f = abbrev.get(ndb)
        if f is None or len(f) < 51:
            continue  # reported by build_rows
        values = [f[field - 1].strip() if field else "" for _, field, _ in NUTRIENTS]
        rows.append([name, "USDA SR " + ndb] + values)
        v = {}
        for (col, _, _), text in zip(NUTRIENTS, values):
            if text == "":
                continue
            try:
                v[col] = float(text)
            except ValueError:
                errors.append("NDB %s (%s): %s is not a number: %r" % (ndb, name, col, text))
                continue
            if v[col] < 0:
                errors.append("NDB %s (%s): negative %s" % (ndb, name, col))
        # Parts cannot exceed their whole, beyond analytical rounding.
        fat, carb = float(f[5] or 0), float(f[7] or 0)
        acids = sum(v.get(c, 0.0) for c in ("saturi", "monoinsaturi", "polinsaturi"))
        if acids > fat + 0.5:
            errors.append("NDB %s (%s): fatty acids %.2f g above fat %.2f g"
                          % (ndb, name, acids, fat))
        if v.get("zuccheri", 0.0) > carb + 1.0:
            errors.append("NDB %s (%s): sugars %.2f g above carbohydrate %.2f g"
                          % (ndb, name, v["zuccheri"], carb))
    return rows, errors


def format_tsv(header, rows):
    lines = ["\t".join(header)] + ["\t".join(r) for r in rows]
    return "\n".join(lines) + "\n"


def up_to_date(path, text):
    try:
        with open(path, encoding="utf-8", newline="") as f:
            current = f.read()
    except OSError as e:
        print("error: cannot read %s: %s" % (path, e), file=sys.stderr)
        return False
    if current != text:
        print("error: %s is out of date; run make_foods.py" % path, file=sys.stderr)
        return False
    return True


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    repo_root = os.path.dirname(here)
    ap = argparse.ArgumentParser(
        description="Generate alimenti.tsv and nutrienti.tsv from the USDA SR files.")
    ap.add_argument("usda_dir", nargs="?",
                    default=os.path.join(repo_root, "..", "shared", "data"),
                    help="folder holding usda-sr-abbrev.txt and usda-sr-food-des.txt")
    ap.add_argument("-o", "--output", default=os.path.join(here, "alimenti.tsv"))
    ap.add_argument("-n", "--nutrients", default=os.path.join(here, "nutrienti.tsv"))
    ap.add_argument("--check", action="store_true",
                    help="verify only; compare with the existing outputs")
    ap.add_argument("--list", action="store_true",
                    help="print each food next to its USDA description")
    args = ap.parse_args(argv)

    try:
        abbrev = read_usda(os.path.join(args.usda_dir, "usda-sr-abbrev.txt"))
        desc = read_usda(os.path.join(args.usda_dir, "usda-sr-food-des.txt"))
    except OSError as e:
        print("error: cannot read the USDA files: %s" % e, file=sys.stderr)
        return 2

    errors = check_list()
    rows, more = build_rows(abbrev)
    errors += more
    nutrient_rows, more = build_nutrients(abbrev)
    errors += more
    for ndb, _ in FOODS:
        if ndb in abbrev and ndb not in desc:
            errors.append("NDB %s missing from usda-sr-food-des.txt" % ndb)
    errors += check_previous_version(os.path.join(args.usda_dir, PREVIOUS_VERSION), rows)

    if args.list:
        for r in rows:
            d = desc.get(r[0], ["", "", "?"])
            print("%s\t%-45s\t%s\t%s kcal\t%s%%" % (r[0], r[1], d[2], r[7], r[2]))

    for e in errors:
        print("error:", e, file=sys.stderr)
    if errors:
        return 1

    outputs = [(args.output, format_tsv(HEADER, rows)),
               (args.nutrients, format_tsv(NUTRIENT_HEADER, nutrient_rows))]
    if args.check:
        if not all([up_to_date(path, text) for path, text in outputs]):
            return 1
        print("%s, %s: %d foods, up to date"
              % (args.output, args.nutrients, len(rows)))
        return 0

    for path, text in outputs:
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
    print("%s, %s: %d foods written" % (args.output, args.nutrients, len(rows)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
