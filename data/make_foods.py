#!/usr/bin/env python3
"""Generate alimenti.tsv, nutrienti.tsv and gruppi.tsv, the food tables shipped with Nutrilo.

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
and their units.  gruppi.tsv gives each food its group, the heading of
the part of FOODS it is listed under, and each dish of ricette.tsv its
group from RECIPE_GROUPS.  porzioni.tsv gives foods their
household portions: the LARN standard portion of the food's group and the
USDA household weights whose description translates into Italian; after the
foods, each dish of ricette.tsv its "1 porzione", the dish over the people
RECIPE_SERVINGS says it feeds.

Usage:
    python3 data/make_foods.py [USDA_DIR] [-o OUTPUT] [-n NUTRIENTS]
                               [-g GROUPS] [-p PORTIONS] [-r RECIPES]
                               [--check] [--list]

USDA_DIR defaults to ../shared/data relative to the repository root;
OUTPUT and NUTRIENTS default to alimenti.tsv and nutrienti.tsv next to this
script.  --check only verifies the list and the existing outputs without
writing; --list prints each food next to its USDA description, for review.
"""

import argparse
import math
import os
import re
import sqlite3
import sys

MAX_NAME = 50  # the menu table stores food names in 50 characters
MAX_GROUP = 60  # the width of the food group column
MIN_FOODS = 1000  # a practice plans with at least this many foods

# The database file of version 1.1 (in USDA_DIR): its foods are referred to
# by name in stored weeks, so each must stay, with the same values.
PREVIOUS_VERSION = "alimenti-1.1.mdb"

# Foods whose USDA energy uses low, food-specific factors (brans, cocoa,
# carob, algae, polyols), so they fall far below the general Atwater
# estimate.
LOW_ENERGY_FACTOR = {"20033", "20077", "19165", "20060", "16055", "11667",
                     "19078", "19166", "43060"}
# Foods outside the beverages (NDB 14xxx) whose energy is largely alcohol.
ALCOHOL = {"02050"}

GROUP_HEADER = ["alimento", "gruppo"]

# The groups of the shipped dishes (ricette.tsv), listed in gruppi.tsv after the foods:
# "Equivalenti…" on a dish offers the other dishes of its group.
RECIPE_GROUPS = {
    "Primi piatti": [
        "Pasta al pomodoro", "Minestrone", "Risotto alla parmigiana", "Insalata di riso",
        "Pasta al pesto", "Spaghetti aglio, olio e peperoncino", "Pasta alla carbonara",
        "Pasta all'amatriciana", "Penne all'arrabbiata", "Polenta", "Gnocchi al pomodoro",
        "Risotto ai funghi", "Spaghetti alle vongole", "Pasta alla norma",
        "Pasta con le zucchine",
    ],
    "Piatti unici": [
        "Pasta e fagioli", "Lasagne alla bolognese", "Pizza margherita", "Pasta e ceci",
        "Pasta e lenticchie", "Zuppa di legumi", "Panzanella",
    ],
    "Secondi piatti": [
        "Polpette al sugo", "Parmigiana di melanzane", "Frittata di zucchine", "Caprese",
        "Vitello tonnato", "Pollo alla cacciatora", "Scaloppine al limone",
        "Arrosto di vitello", "Merluzzo in umido", "Orata al forno", "Insalata di mare",
    ],
    "Dolci e dessert": ["Tiramisù", "Crostata di frutta", "Macedonia di frutta"],
}

# How many people each dish of ricette.tsv feeds, read from its quantities: 80-100 g of
# pasta or rice (raw) or 75 g of corn flour a person, 100-150 g of edible meat or fish, a
# pizza each, 150 g of fruit, a cake or a tiramisù for 8.  porzioni.tsv gives each dish
# "1 porzione": its cooked weight (the ingredients' sum when it has none) over these.
RECIPE_SERVINGS = {
    # One person: 80 g of pasta, or 50 g with 50-60 g of dry pulses, a pizza, a mozzarella.
    "Pasta al pomodoro": 1, "Pasta e fagioli": 1, "Pizza margherita": 1,
    "Pasta al pesto": 1, "Spaghetti aglio, olio e peperoncino": 1,
    "Pasta alla carbonara": 1, "Pasta all'amatriciana": 1, "Penne all'arrabbiata": 1,
    "Pasta e ceci": 1, "Pasta e lenticchie": 1, "Pasta alla norma": 1,
    "Pasta con le zucchine": 1, "Caprese": 1,
    # 320 g of rice or pasta, 300 g of corn flour.
    "Risotto alla parmigiana": 4, "Insalata di riso": 4, "Risotto ai funghi": 4,
    "Spaghetti alle vongole": 4, "Polenta": 4,
    # 1 kg of potatoes and 300 g of flour.
    "Gnocchi al pomodoro": 4,
    # 1.5 kg of vegetables and 80 g of dry beans; 400 g of dry pulses and 200 g of bread
    # (100 g of pulses and 50 g of bread each); 200 g of bread and 400 g of tomatoes.
    "Minestrone": 4, "Zuppa di legumi": 4, "Panzanella": 4,
    # 250 g of egg pasta sheets and 400 g of minced meat in 2 kg: a tray for 6.
    "Lasagne alla bolognese": 6,
    # Meat, edible: 400 g minced, 490 g and 780 g of veal, 1 kg of veal rump (690 g),
    # a 1.2 kg chicken (816 g).
    "Polpette al sugo": 4, "Scaloppine al limone": 4, "Vitello tonnato": 6,
    "Arrosto di vitello": 6, "Pollo alla cacciatora": 6,
    # Fish: 600 g of cod, 700 g of sea bream, 1.1 kg of seafood.
    "Merluzzo in umido": 4, "Orata al forno": 5, "Insalata di mare": 8,
    # 1 kg of aubergines, 250 g of mozzarella; 5 eggs.
    "Parmigiana di melanzane": 6, "Frittata di zucchine": 3,
    # Desserts: a cake and a tiramisù for 8, 750 g of fruit.
    "Tiramisù": 8, "Crostata di frutta": 8, "Macedonia di frutta": 5,
}

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
    ("20125", "Pasta integrale, cotta"),
    ("20126", "Pasta agli spinaci, cruda"),
    ("20127", "Pasta agli spinaci, cotta"),
    ("20094", "Pasta fresca, cotta"),
    ("20095", "Pasta fresca agli spinaci, cruda"),
    ("20096", "Pasta fresca agli spinaci, cotta"),
    ("20097", "Pasta fresca all'uovo fatta in casa, cotta"),
    ("20098", "Pasta fresca di acqua e farina, cotta"),
    ("20091", "Pasta di mais senza glutine, cruda"),
    ("20092", "Pasta di mais senza glutine, cotta"),
    ("20133", "Spaghetti di riso, crudi"),
    ("20134", "Spaghetti di riso, cotti"),
    ("16082", "Spaghetti di soia (fagioli mung), secchi"),
    ("20114", "Pasta di grano saraceno (soba), cruda"),
    ("20115", "Pasta di grano saraceno (soba), cotta"),
    ("22901", "Tortellini al formaggio"),
    ("20444", "Riso a chicco lungo, crudo"),
    ("20445", "Riso a chicco lungo, cotto"),
    ("20446", "Riso parboiled, crudo"),
    ("20447", "Riso parboiled, cotto"),
    ("20452", "Riso a chicco tondo, crudo"),
    ("20453", "Riso a chicco tondo, cotto"),
    ("20088", "Riso selvatico, crudo"),
    ("20089", "Riso selvatico, cotto"),
    ("20061", "Farina di riso"),
    ("20090", "Farina di riso integrale"),
    ("20060", "Crusca di riso"),
    ("20006", "Orzo perlato, cotto"),
    ("20004", "Orzo mondo, crudo"),
    ("20130", "Farina d'orzo"),
    ("20131", "Farina di malto d'orzo"),
    ("20141", "Farro, cotto"),
    ("20137", "Quinoa, cotta"),
    ("20032", "Miglio, cotto"),
    ("20029", "Cuscus, cotto"),
    ("20001", "Amaranto, crudo"),
    ("20002", "Amaranto, cotto"),
    ("20008", "Grano saraceno, crudo"),
    ("20010", "Grano saraceno tostato, cotto"),
    ("20011", "Farina di grano saraceno"),
    ("20012", "Bulgur, crudo"),
    ("20013", "Bulgur, cotto"),
    ("20014", "Mais giallo, chicchi secchi"),
    ("20020", "Farina di mais integrale"),
    ("20018", "Fioretto di mais (farina fine)"),
    ("08166", "Polenta, cotta"),
    ("20062", "Segale, chicchi"),
    ("20063", "Farina di segale integrale"),
    ("20065", "Farina di segale chiara"),
    ("20067", "Sorgo, chicchi"),
    ("20068", "Tapioca, perle secche"),
    ("20142", "Teff, crudo"),
    ("20143", "Teff, cotto"),
    ("20138", "Kamut (grano khorasan), crudo"),
    ("20139", "Kamut (grano khorasan), cotto"),
    ("20076", "Frumento duro, chicchi"),
    ("20075", "Frumento tenero, chicchi"),
    ("20077", "Crusca di frumento"),
    ("20078", "Germe di grano"),
    ("08084", "Germe di grano tostato"),
    ("20033", "Crusca d'avena"),
    ("20038", "Avena, chicchi"),
    ("08121", "Porridge di fiocchi d'avena (in acqua)"),
    ("20132", "Farina d'avena"),
    ("20129", "Farina di frumento tipo 0 (manitoba)"),
    ("11413", "Farina di patate"),
    ("48052", "Glutine di frumento"),
    ("08037", "Granola (muesli croccante)"),
    ("43218", "Muesli classico"),
    ("08156", "Riso soffiato"),
    ("08157", "Frumento soffiato"),
    ("43483", "Miglio soffiato"),
    ("43584", "Fiocchi di amaranto"),
    ("08029", "Fiocchi di crusca"),
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
    ("18029", "Baguette (pane francese)"),
    ("18035", "Pane multicereali"),
    ("18413", "Pane arabo (pita)"),
    ("18042", "Pane arabo integrale (pita)"),
    ("18044", "Pane nero di segale (pumpernickel)"),
    ("18414", "Pane all'uvetta"),
    ("18064", "Pane semintegrale"),
    ("18066", "Pane alla crusca"),
    ("18039", "Pane all'avena"),
    ("18027", "Pane all'uovo"),
    ("18070", "Pane in cassetta, tostato"),
    ("18076", "Pane integrale, tostato"),
    ("18061", "Pane di segale, tostato"),
    ("18077", "Pane integrale fatto in casa"),
    ("18073", "Pane al latte fatto in casa"),
    ("18349", "Panino tipo francese"),
    ("18342", "Panini morbidi"),
    ("18348", "Panino integrale"),
    ("18346", "Panino di segale"),
    ("18350", "Panino per hamburger"),
    ("18216", "Pane croccante di segale"),
    ("18217", "Pane azzimo"),
    ("18219", "Pane azzimo integrale"),
    ("18220", "Fette di pane tostato"),
    ("18242", "Crostini di pane per zuppe"),
    ("18376", "Pangrattato aromatizzato"),
    ("18426", "Cracker, senza sale in superficie"),
    ("18214", "Cracker al formaggio"),
    ("18226", "Cracker di segale"),
    ("18232", "Cracker al frumento"),
    ("18363", "Tortilla di mais"),
    ("18364", "Piadina"),
    ("21301", "Pizza margherita sottile, da pizzeria"),
    ("21299", "Pizza margherita, da pizzeria"),
    ("21302", "Pizza al salame piccante, da pizzeria"),
    ("21304", "Pizza con carne e verdure, da pizzeria"),
    ("22903", "Pizza al salame piccante, surgelata, cotta"),
    ("21226", "Pizza capricciosa, surgelata, cotta"),
    ("21225", "Pizza alta al formaggio, surgelata, cotta"),
    ("18338", "Pasta fillo"),
    ("18337", "Pasta sfoglia, cruda"),
    ("18211", "Pasta sfoglia, cotta"),
    ("18402", "Pasta brisée, cruda"),
    ("18336", "Pasta brisée, cotta"),
    ("18375", "Lievito di birra secco"),
    ("18372", "Bicarbonato di sodio"),
    ("18373", "Cremor tartaro"),
    # --- Dolci da forno e biscotti ---
    ("18239", "Cornetto semplice"),
    ("18150", "Biscotti secchi"),
    ("18155", "Biscotti frollini al burro"),
    ("18159", "Biscotti con gocce di cioccolato"),
    ("18175", "Savoiardi"),
    ("18133", "Pan di Spagna"),
    ("18301", "Torta di mele"),
    ("18240", "Cornetto alla frutta"),
    ("18134", "Pan di Spagna fatto in casa"),
    ("18120", "Plumcake al burro"),
    ("18147", "Torta al formaggio (cheesecake)"),
    ("18302", "Torta di mele fatta in casa"),
    ("18106", "Dolce lievitato alla frutta (tipo panettone)"),
    ("18154", "Tortino al cioccolato (brownie)"),
    ("18101", "Torta al cioccolato"),
    ("18096", "Torta al cioccolato glassata"),
    ("18146", "Torta margherita"),
    ("18237", "Bignè, vuoto"),
    ("18238", "Bignè alla crema"),
    ("18257", "Bignè glassato al cioccolato (éclair)"),
    ("18248", "Ciambella fritta"),
    ("18255", "Ciambella glassata"),
    ("18256", "Bombolone alla marmellata"),
    ("18254", "Bombolone alla crema"),
    ("18431", "Brioche ripiena alla frutta"),
    ("18430", "Girella alla cannella"),
    ("18354", "Strudel di mele"),
    ("18169", "Biscotti al cocco"),
    ("18192", "Biscotti di pastafrolla"),
    ("18170", "Biscotti ripieni di fichi"),
    ("18178", "Biscotti all'avena"),
    ("18184", "Biscotti all'avena e uvetta"),
    ("18172", "Biscotti allo zenzero"),
    ("18209", "Wafer alla crema"),
    ("18166", "Biscotti al cacao farciti alla crema"),
    ("18157", "Biscotti al cacao"),
    ("18213", "Biscotti alla vaniglia"),
    ("18173", "Biscotti integrali al miele"),
    ("18320", "Torta al limone meringata"),
    ("18309", "Crostata di ciliegie"),
    ("18323", "Crostata di pesche"),
    ("18306", "Crostata di mirtilli"),
    ("18327", "Torta di zucca"),
    ("18274", "Muffin ai mirtilli"),
    ("18271", "Cialda per gelato"),
    ("18272", "Cono gelato, cialda zuccherata"),
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
    ("16033", "Fagioli rossi, secchi, bolliti"),
    ("16034", "Fagioli rossi, in scatola"),
    ("16014", "Fagioli neri, secchi"),
    ("16015", "Fagioli neri, secchi, bolliti"),
    ("16042", "Fagioli pinto, secchi"),
    ("16043", "Fagioli pinto, secchi, bolliti"),
    ("16045", "Fagioli bianchi piccoli, secchi"),
    ("16046", "Fagioli bianchi piccoli, secchi, bolliti"),
    ("16024", "Fagioli bianchi grandi, secchi"),
    ("16025", "Fagioli bianchi grandi, secchi, bolliti"),
    ("16071", "Fagioli di Lima, secchi"),
    ("16072", "Fagioli di Lima, secchi, bolliti"),
    ("16001", "Fagioli azuki, secchi"),
    ("16002", "Fagioli azuki, secchi, bolliti"),
    ("16080", "Fagioli mung, secchi"),
    ("16081", "Fagioli mung, secchi, bolliti"),
    ("16062", "Fagioli dall'occhio, secchi"),
    ("16063", "Fagioli dall'occhio, secchi, bolliti"),
    ("16006", "Fagioli in salsa di pomodoro, in scatola"),
    ("16053", "Fave, secche, bollite"),
    ("16054", "Fave, in scatola"),
    ("11088", "Fave fresche, crude"),
    ("11089", "Fave fresche, bollite"),
    ("16085", "Piselli secchi spezzati"),
    ("16086", "Piselli secchi spezzati, bolliti"),
    ("11305", "Piselli freschi, bolliti"),
    ("11312", "Piselli surgelati"),
    ("11313", "Piselli surgelati, bolliti"),
    ("11308", "Piselli in scatola, sgocciolati"),
    ("16144", "Lenticchie rosse decorticate, secche"),
    ("16076", "Lupini, secchi"),
    ("16109", "Soia, semi secchi, bolliti"),
    ("16111", "Soia tostata"),
    ("11450", "Soia verde (edamame), cruda"),
    ("11451", "Soia verde (edamame), bollita"),
    ("11043", "Germogli di soia (fagioli mung), crudi"),
    ("11248", "Germogli di lenticchie, crudi"),
    ("16157", "Farina di ceci"),
    ("16115", "Farina di soia"),
    ("16055", "Farina di carrube"),
    ("16126", "Tofu compatto"),
    ("16127", "Tofu morbido"),
    ("16114", "Tempeh"),
    ("16112", "Miso"),
    ("16122", "Proteine isolate di soia"),
    ("16138", "Falafel"),
    ("16158", "Hummus confezionato"),
    ("16139", "Bevanda di soia, con calcio"),
    ("16222", "Bevanda di soia senza zucchero, con calcio"),
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
    ("11008", "Carciofi, bolliti"),
    ("11009", "Carciofi surgelati"),
    ("11012", "Asparagi, bolliti"),
    ("11015", "Asparagi in scatola, sgocciolati"),
    ("11081", "Barbabietola rossa, bollita"),
    ("11084", "Barbabietola rossa in scatola, sgocciolata"),
    ("11091", "Broccoli, bolliti"),
    ("11092", "Broccoli surgelati"),
    ("11093", "Broccoli surgelati, bolliti"),
    ("11097", "Cime di rapa, cotte"),
    ("11099", "Cavoletti di Bruxelles, bolliti"),
    ("11110", "Cavolo cappuccio, bollito"),
    ("11112", "Cavolo rosso, crudo"),
    ("11113", "Cavolo rosso, bollito"),
    ("11115", "Cavolo verza, bollito"),
    ("11116", "Pak choi, crudo"),
    ("11117", "Pak choi, bollito"),
    ("11119", "Cavolo cinese, crudo"),
    ("11120", "Cavolo cinese, bollito"),
    ("11233", "Cavolo nero (cavolo riccio), crudo"),
    ("11234", "Cavolo nero (cavolo riccio), bollito"),
    ("11122", "Cardi, crudi"),
    ("11123", "Cardi, bolliti"),
    ("11125", "Carote, bollite"),
    ("11960", "Carotine novelle, crude"),
    ("11136", "Cavolfiore, bollito"),
    ("11965", "Cavolfiore verde, crudo"),
    ("11967", "Cavolfiore verde, cotto"),
    ("11141", "Sedano rapa, crudo"),
    ("11142", "Sedano rapa, bollito"),
    ("11144", "Sedano, bollito"),
    ("11148", "Bietola, bollita"),
    ("11151", "Indivia belga, cruda"),
    ("11154", "Radice di cicoria, cruda"),
    ("11156", "Erba cipollina, fresca"),
    ("11165", "Coriandolo, foglie fresche"),
    ("11168", "Mais dolce, bollito"),
    ("11172", "Mais dolce in scatola, sgocciolato"),
    ("11203", "Crescione, crudo"),
    ("11591", "Crescione d'acqua, crudo"),
    ("11206", "Cetrioli senza buccia, crudi"),
    ("11207", "Tarassaco (dente di leone), crudo"),
    ("11208", "Tarassaco (dente di leone), bollito"),
    ("11210", "Melanzane, bollite"),
    ("11216", "Zenzero, radice fresca"),
    ("11226", "Topinambur, crudo"),
    ("11241", "Cavolo rapa, crudo"),
    ("11242", "Cavolo rapa, bollito"),
    ("11247", "Porri, bolliti"),
    ("11250", "Lattuga cappuccina, cruda"),
    ("11252", "Lattuga iceberg, cruda"),
    ("11253", "Lattuga a foglia verde, cruda"),
    ("11257", "Lattuga a foglia rossa, cruda"),
    ("11261", "Funghi champignon, bolliti"),
    ("11263", "Funghi champignon, trifolati"),
    ("11264", "Funghi champignon in scatola, sgocciolati"),
    ("11266", "Funghi prataioli bruni, crudi"),
    ("11265", "Funghi prataioli giganti, crudi"),
    ("11243", "Funghi prataioli giganti, grigliati"),
    ("11268", "Funghi shiitake, secchi"),
    ("11269", "Funghi shiitake, cotti"),
    ("11987", "Funghi pleurotus, crudi"),
    ("11950", "Funghi enoki, crudi"),
    ("11993", "Funghi maitake, crudi"),
    ("11278", "Gombo (okra), crudo"),
    ("11279", "Gombo (okra), bollito"),
    ("11283", "Cipolle, bollite"),
    ("11286", "Cipolle, soffritte"),
    ("11291", "Cipollotti, crudi"),
    ("11294", "Cipolle dolci, crude"),
    ("11677", "Scalogno, crudo"),
    ("11298", "Pastinaca, cruda"),
    ("11299", "Pastinaca, bollita"),
    ("11300", "Taccole, crude"),
    ("11301", "Taccole, bollite"),
    ("11334", "Peperoni verdi, bolliti"),
    ("11339", "Peperoni verdi, saltati in padella"),
    ("11823", "Peperoni rossi, bolliti"),
    ("11921", "Peperoni rossi, saltati in padella"),
    ("11951", "Peperoni gialli, crudi"),
    ("11976", "Friggitelli, crudi"),
    ("11670", "Peperoncino verde piccante, crudo"),
    ("11819", "Peperoncino rosso piccante, crudo"),
    ("11962", "Peperoncino piccante, secco"),
    ("11354", "Patate con buccia, crude"),
    ("11365", "Patate lessate con buccia, polpa"),
    ("11363", "Patate al forno, solo polpa"),
    ("11934", "Purè di patate con latte e burro"),
    ("11657", "Purè di patate con latte"),
    ("11414", "Insalata di patate"),
    ("11672", "Frittelle di patate"),
    ("11370", "Rösti di patate"),
    ("11372", "Patate gratinate"),
    ("11373", "Patate gratinate al formaggio"),
    ("11842", "Patatine fritte surgelate, crude"),
    ("11841", "Patatine fritte surgelate, cotte al forno"),
    ("11507", "Patata dolce (americana), cruda"),
    ("11508", "Patata dolce (americana), al forno"),
    ("11510", "Patata dolce (americana), lessata"),
    ("11423", "Zucca gialla, bollita"),
    ("11485", "Zucca violina, cruda"),
    ("11486", "Zucca violina, al forno"),
    ("11492", "Zucca spaghetti, cruda"),
    ("11493", "Zucca spaghetti, cotta"),
    ("11416", "Fiori di zucca, crudi"),
    ("11417", "Fiori di zucca, bolliti"),
    ("11478", "Zucchine, bollite"),
    ("11953", "Zucchine novelle, crude"),
    ("11427", "Portulaca, cruda"),
    ("11430", "Ravanello bianco (daikon), crudo"),
    ("11435", "Navone, crudo"),
    ("11564", "Rape bianche, crude"),
    ("11565", "Rape bianche, bollite"),
    ("11568", "Foglie di rapa, crude"),
    ("11569", "Foglie di rapa, bollite"),
    ("11437", "Barba di becco (scorzonera), cruda"),
    ("11438", "Barba di becco (scorzonera), bollita"),
    ("11445", "Alga kombu, cruda"),
    ("11446", "Alga nori, cruda"),
    ("11669", "Alga wakame, cruda"),
    ("11667", "Spirulina, secca"),
    ("11663", "Agar agar, secco"),
    ("11458", "Spinaci, bolliti"),
    ("11463", "Spinaci surgelati"),
    ("11464", "Spinaci surgelati, bolliti"),
    ("11527", "Pomodori verdi, crudi"),
    ("11530", "Pomodori, cotti"),
    ("11696", "Pomodori gialli, crudi"),
    ("11955", "Pomodori secchi"),
    ("11956", "Pomodori secchi sott'olio, sgocciolati"),
    ("11693", "Polpa di pomodoro, in scatola"),
    ("11974", "Foglie di vite, crude"),
    ("11937", "Cetriolini sottaceto"),
    ("43146", "Melanzane sottaceto"),
    ("11439", "Crauti"),
    ("11583", "Verdure miste surgelate"),
    ("11584", "Verdure miste surgelate, bollite"),
    ("11581", "Macedonia di verdure in scatola, sgocciolata"),
    ("11322", "Piselli e carote surgelati"),
    ("11053", "Fagiolini, bolliti"),
    ("11060", "Fagiolini surgelati"),
    ("11061", "Fagiolini surgelati, bolliti"),
    ("11056", "Fagiolini in scatola, sgocciolati"),
    ("11722", "Fagiolini gialli (cornetti), crudi"),
    ("11724", "Fagiolini gialli (cornetti), bolliti"),
    ("11001", "Germogli di erba medica, crudi"),
    ("11026", "Germogli di bambù, crudi"),
    ("43392", "Cuori di palma, crudi"),
    ("11134", "Manioca, cruda"),
    ("11601", "Igname, crudo"),
    ("11613", "Borragine, cruda"),
    ("11614", "Borragine, bollita"),
    ("11616", "Acetosa, cruda"),
    ("11159", "Insalata di cavolo con salsa"),
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
    ("09005", "Mela cotta, senza buccia"),
    ("09063", "Amarene"),
    ("09078", "Mirtilli rossi"),
    ("09083", "Ribes nero"),
    ("09084", "Ribes rosso"),
    ("09107", "Uva spina"),
    ("09190", "More di gelso"),
    ("09088", "Bacche di sambuco"),
    ("09112", "Pompelmo rosa"),
    ("09131", "Uva fragola"),
    ("09139", "Guaiava"),
    ("09149", "Kumquat (mandarino cinese)"),
    ("09151", "Limone, con buccia"),
    ("09156", "Scorza di limone"),
    ("09216", "Scorza d'arancia"),
    ("09159", "Lime"),
    ("09164", "Litchi"),
    ("09174", "Nespole"),
    ("09202", "Arancia navel"),
    ("09226", "Papaia"),
    ("09231", "Frutto della passione (maracuja)"),
    ("09277", "Platano (banana da cuocere), crudo"),
    ("09278", "Platano (banana da cuocere), cotto"),
    ("09296", "Mele cotogne"),
    ("09307", "Rabarbaro"),
    ("09322", "Tamarindo"),
    ("09334", "Feijoa"),
    ("09340", "Pera nashi"),
    ("09421", "Datteri Medjool"),
    ("09433", "Clementine"),
    ("09060", "Carambola"),
    ("09062", "Annona (cherimoia)"),
    ("09146", "Giuggiole, fresche"),
    ("09048", "More surgelate"),
    ("09054", "Mirtilli surgelati"),
    ("09318", "Fragole surgelate"),
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
    ("09011", "Mele essiccate"),
    ("09019", "Purea di mele senza zucchero aggiunto"),
    ("09020", "Purea di mele zuccherata"),
    ("09079", "Mirtilli rossi essiccati, zuccherati"),
    ("09085", "Uvetta di Corinto"),
    ("09297", "Uvetta sultanina"),
    ("09246", "Pesche essiccate"),
    ("09259", "Pere essiccate"),
    ("09264", "Cachi essiccati"),
    ("09147", "Giuggiole, secche"),
    ("09188", "Frutta essiccata mista"),
    ("09292", "Prugne secche cotte, senza zucchero"),
    ("09426", "Frutta candita"),
    ("09328", "Ciliegie al maraschino"),
    ("09256", "Pere sciroppate"),
    ("09254", "Pere al naturale, in succo"),
    ("09269", "Ananas sciroppato"),
    ("09268", "Ananas al naturale, in succo"),
    ("09026", "Albicocche sciroppate"),
    ("09238", "Pesche al naturale, in succo"),
    ("09099", "Macedonia di frutta sciroppata"),
    ("09097", "Macedonia di frutta in succo"),
    ("09073", "Ciliegie sciroppate"),
    ("09065", "Amarene sciroppate"),
    ("09220", "Mandarini sciroppati"),
    ("12063", "Mandorle tostate"),
    ("12071", "Pasta di mandorle"),
    ("12195", "Crema di mandorle"),
    ("12121", "Nocciole pelate"),
    ("12078", "Noci del Brasile"),
    ("12085", "Anacardi tostati"),
    ("12131", "Noci di macadamia"),
    ("12142", "Noci pecan"),
    ("12152", "Pistacchi tostati"),
    ("12135", "Frutta secca mista tostata"),
    ("12098", "Castagne sbucciate, crude"),
    ("12101", "Castagne lessate"),
    ("12167", "Castagne arrostite (caldarroste)"),
    ("12100", "Castagne secche"),
    ("12104", "Cocco, polpa fresca"),
    ("12108", "Cocco disidratato (rapè)"),
    ("12117", "Latte di cocco"),
    ("16087", "Arachidi, crude"),
    ("16389", "Arachidi tostate in olio, non salate"),
    ("16398", "Burro di arachidi"),
    ("12006", "Semi di chia"),
    ("12016", "Semi di zucca sgusciati, tostati"),
    ("12037", "Semi di girasole sgusciati, tostati"),
    ("12024", "Semi di sesamo tostati"),
    ("12201", "Semi di sesamo decorticati"),
    ("12166", "Tahina (crema di sesamo)"),
    ("02033", "Semi di papavero"),
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
    ("05013", "Pollo, solo carne, arrosto"),
    ("05014", "Pollo, solo carne, lesso"),
    ("05009", "Pollo intero, con pelle, arrosto"),
    ("05010", "Pollo intero, con pelle, lesso"),
    ("05057", "Petto di pollo, con pelle, crudo"),
    ("05060", "Petto di pollo, con pelle, arrosto"),
    ("05065", "Petto di pollo, lesso"),
    ("05063", "Petto di pollo, fritto"),
    ("05058", "Petto di pollo in pastella, fritto"),
    ("05091", "Sovracoscia di pollo, con pelle, cruda"),
    ("05096", "Sovracoscia di pollo, senza pelle, cruda"),
    ("05094", "Sovracoscia di pollo, con pelle, arrosto"),
    ("05098", "Sovracoscia di pollo, senza pelle, arrosto"),
    ("05066", "Fusi di pollo, con pelle, crudi"),
    ("05069", "Fusi di pollo, con pelle, arrosto"),
    ("05071", "Fusi di pollo, senza pelle, crudi"),
    ("05073", "Fusi di pollo, senza pelle, arrosto"),
    ("05080", "Coscia di pollo, senza pelle, cruda"),
    ("05078", "Coscia di pollo, con pelle, arrosto"),
    ("05082", "Coscia di pollo, senza pelle, arrosto"),
    ("05100", "Ali di pollo, crude"),
    ("05103", "Ali di pollo, arrosto"),
    ("05015", "Pelle di pollo, cruda"),
    ("05028", "Fegato di pollo, cotto"),
    ("05023", "Ventrigli di pollo, crudi"),
    ("05024", "Ventrigli di pollo, lessati"),
    ("05025", "Cuori di pollo, crudi"),
    ("05125", "Gallina, solo carne, cruda"),
    ("05126", "Gallina, solo carne, lessa"),
    ("05123", "Gallina, con pelle, cruda"),
    ("05124", "Gallina, con pelle, lessa"),
    ("05309", "Galletto, solo carne, crudo"),
    ("05308", "Galletto, con pelle, arrosto"),
    ("05167", "Tacchino, solo carne, crudo"),
    ("05168", "Tacchino, solo carne, arrosto"),
    ("05187", "Tacchino, carne scura, cruda"),
    ("05188", "Tacchino, carne scura, arrosto"),
    ("05193", "Coscia di tacchino, con pelle, cruda"),
    ("05194", "Coscia di tacchino, con pelle, arrosto"),
    ("05195", "Ali di tacchino, crude"),
    ("05196", "Ali di tacchino, arrosto"),
    ("05305", "Tacchino, carne macinata, cruda"),
    ("05306", "Tacchino, carne macinata, cotta"),
    ("05177", "Fegato di tacchino, crudo"),
    ("05139", "Anatra, con pelle, cruda"),
    ("05140", "Anatra, con pelle, arrosto"),
    ("05142", "Anatra, solo carne, arrosto"),
    ("05143", "Fegato d'anatra, crudo"),
    ("05146", "Oca, con pelle, cruda"),
    ("05148", "Oca, solo carne, cruda"),
    ("05149", "Oca, solo carne, arrosto"),
    ("05150", "Fegato d'oca, crudo"),
    ("05151", "Faraona, con pelle, cruda"),
    ("05152", "Faraona, solo carne, cruda"),
    ("05153", "Fagiano, con pelle, crudo"),
    ("05154", "Fagiano, solo carne, crudo"),
    ("05157", "Quaglia, con pelle, cruda"),
    ("05160", "Piccione, con pelle, crudo"),
    ("05161", "Piccione, solo carne, crudo"),
    ("17178", "Coniglio, arrosto"),
    ("17179", "Coniglio, in umido"),
    ("17180", "Coniglio selvatico, crudo"),
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
    ("23600", "Manzo, filetto, ai ferri"),
    ("23608", "Manzo, fesa, ai ferri"),
    ("23598", "Manzo, girello, arrosto"),
    ("23610", "Manzo, scamone, ai ferri"),
    ("13826", "Manzo, costata, arrosto"),
    ("13825", "Manzo, costata, ai ferri"),
    ("23599", "Manzo, lombata (entrecôte), cruda"),
    ("23638", "Manzo, lombata (entrecôte), ai ferri"),
    ("23607", "Manzo, controfiletto, crudo"),
    ("23606", "Manzo, controfiletto, ai ferri"),
    ("23005", "Manzo, bistecca con osso (T-bone), cruda"),
    ("23006", "Manzo, bistecca con osso (T-bone), ai ferri"),
    ("23603", "Manzo, spalla, cruda"),
    ("23602", "Manzo, spalla, brasata"),
    ("13815", "Manzo, sottospalla, cruda"),
    ("13816", "Manzo, sottospalla, brasata"),
    ("23596", "Manzo, punta di petto, cruda"),
    ("23595", "Manzo, punta di petto, brasata"),
    ("23594", "Manzo, sottofesa, cruda"),
    ("23605", "Manzo, sottofesa, brasata"),
    ("23651", "Manzo, noce, cruda"),
    ("13424", "Manzo, noce, arrosto"),
    ("23656", "Manzo, bavetta, cruda"),
    ("23654", "Manzo, bavetta, ai ferri"),
    ("13795", "Manzo, tagli misti, crudo"),
    ("13796", "Manzo, tagli misti, cotto"),
    ("23557", "Manzo, carne macinata extra magra, cruda"),
    ("23577", "Manzo, carne macinata grassa, cruda"),
    ("23565", "Manzo, macinato magro, cotto in padella"),
    ("23575", "Manzo, macinato, cotto in padella"),
    ("23563", "Hamburger di manzo magro, ai ferri"),
    ("23573", "Hamburger di manzo, ai ferri"),
    ("13346", "Manzo, carne salmistrata, cruda"),
    ("13326", "Fegato di bovino, brasato"),
    ("13327", "Fegato di bovino, in padella"),
    ("13321", "Cuore di bovino, crudo"),
    ("13322", "Cuore di bovino, lessato"),
    ("13323", "Rognone di bovino, crudo"),
    ("13324", "Rognone di bovino, cotto"),
    ("13318", "Cervello di bovino, crudo"),
    ("13339", "Lingua di bovino, cruda"),
    ("13340", "Lingua di bovino, lessata"),
    ("23640", "Trippa, lessata"),
    ("13337", "Animelle di bovino, crude"),
    ("13333", "Milza di bovino, cruda"),
    ("17103", "Vitello, fesa, arrosto"),
    ("17102", "Vitello, fesa, in padella"),
    ("17101", "Vitello, fesa impanata, fritta"),
    ("17109", "Vitello, lombata, arrosto"),
    ("17113", "Vitello, costata, cruda"),
    ("17115", "Vitello, costata, arrosto"),
    ("17119", "Vitello, spalla, cruda"),
    ("17120", "Vitello, spalla, brasata"),
    ("17137", "Vitello, scamone, crudo"),
    ("17139", "Vitello, scamone, arrosto"),
    ("17140", "Vitello, spezzatino, crudo"),
    ("17141", "Vitello, spezzatino, cotto"),
    ("17143", "Vitello, carne macinata, ai ferri"),
    ("17278", "Vitello, ossobuco, crudo"),
    ("17279", "Vitello, ossobuco, brasato"),
    ("17271", "Vitello, petto, crudo"),
    ("17272", "Vitello, petto, brasato"),
    ("17090", "Vitello, tagli misti, crudo"),
    ("17091", "Vitello, tagli misti, cotto"),
    ("17203", "Fegato di vitello, brasato"),
    ("17204", "Fegato di vitello, in padella"),
    ("17188", "Cervello di vitello, crudo"),
    ("17197", "Rognone di vitello, crudo"),
    ("17218", "Animelle di vitello, crude"),
    ("17222", "Lingua di vitello, cruda"),
    ("17193", "Cuore di vitello, crudo"),
    ("17160", "Bufalo, carne, cruda"),
    ("17161", "Bufalo, carne, arrosto"),
    # --- Carni: suino, ovino, altre ---
    ("10060", "Maiale, filetto, crudo"),
    ("10024", "Maiale, lonza magra, cruda"),
    ("10036", "Maiale, braciola, cruda"),
    ("10088", "Maiale, costine, crude"),
    ("17011", "Agnello, cosciotto, crudo"),
    ("17239", "Agnello, costolette, crude"),
    ("17170", "Cavallo, carne, cruda"),
    ("10061", "Maiale, filetto, arrosto"),
    ("10027", "Maiale, lonza magra, arrosto"),
    ("10038", "Maiale, braciola, ai ferri"),
    ("10179", "Maiale, braciola, in padella"),
    ("10089", "Maiale, costine, brasate"),
    ("10192", "Maiale, puntine, crude"),
    ("10193", "Maiale, puntine, arrosto"),
    ("10070", "Maiale, spalla, cruda"),
    ("10071", "Maiale, spalla, arrosto"),
    ("10072", "Maiale, spalla magra, cruda"),
    ("10073", "Maiale, spalla magra, arrosto"),
    ("10080", "Maiale, capocollo, crudo"),
    ("10083", "Maiale, capocollo, arrosto"),
    ("10008", "Maiale, coscia, cruda"),
    ("10009", "Maiale, coscia, arrosto"),
    ("10010", "Maiale, coscia magra, cruda"),
    ("10011", "Maiale, coscia magra, arrosto"),
    ("10219", "Maiale, carne macinata, cruda"),
    ("10220", "Maiale, carne macinata, cotta"),
    ("10005", "Maiale, pancia, cruda"),
    ("10105", "Guanciale di maiale, fresco"),
    ("10110", "Fegato di maiale, crudo"),
    ("10111", "Fegato di maiale, brasato"),
    ("10103", "Cuore di maiale, crudo"),
    ("10106", "Rognone di maiale, crudo"),
    ("10121", "Lingua di maiale, cruda"),
    ("10102", "Zampetto di maiale, crudo"),
    ("10173", "Zampetto di maiale, lessato"),
    ("17231", "Agnello, cosciotto, arrosto"),
    ("17240", "Agnello, costolette, ai ferri"),
    ("17236", "Agnello, lombata, cruda"),
    ("17237", "Agnello, lombata, ai ferri"),
    ("17242", "Agnello, spalla, cruda"),
    ("17243", "Agnello, spalla, brasata"),
    ("17224", "Agnello, carne macinata, cruda"),
    ("17225", "Agnello, carne macinata, ai ferri"),
    ("17226", "Agnello, tagli misti, crudo"),
    ("17227", "Agnello, tagli misti, cotto"),
    ("17199", "Fegato di agnello, crudo"),
    ("17201", "Fegato di agnello, in padella"),
    ("17191", "Cuore di agnello, crudo"),
    ("17195", "Rognone di agnello, crudo"),
    ("17168", "Capra, carne, cruda"),
    ("17169", "Capra, carne, arrosto"),
    ("17171", "Cavallo, carne, arrosto"),
    ("17164", "Cervo, carne, cruda"),
    ("17165", "Cervo, carne, arrosto"),
    ("17158", "Cinghiale, carne, cruda"),
    ("17159", "Cinghiale, carne, arrosto"),
    ("80200", "Rane, cosce, crude"),
    ("90560", "Lumache, crude"),
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
    ("07071", "Salame duro stagionato"),
    ("07089", "Salsiccia di maiale, cotta"),
    ("07064", "Salsiccia fresca di maiale, cotta"),
    ("07074", "Salsiccia affumicata di maiale"),
    ("07005", "Sanguinaccio"),
    ("07041", "Salsiccia di fegato di maiale"),
    ("07034", "Coppa di testa"),
    ("07939", "Würstel di maiale"),
    ("07024", "Würstel di pollo"),
    ("07079", "Fesa di tacchino arrosto, affettata"),
    ("07080", "Prosciutto di tacchino"),
    ("07933", "Petto di pollo arrosto, affettato"),
    ("07053", "Paté di fegato di pollo"),
    ("07055", "Paté di fegato"),
    ("05282", "Paté di fegato d'oca (foie gras)"),
    ("10124", "Pancetta affumicata, cotta"),
    ("10130", "Lonza stagionata affumicata"),
    ("07045", "Carne di maiale in scatola"),
    ("13166", "Carne di manzo in scatola"),
    ("19041", "Ciccioli di maiale"),
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
    ("15016", "Merluzzo, cotto"),
    ("15029", "Sogliola, cotta"),
    ("15032", "Cernia, cotta"),
    ("15203", "Rana pescatrice (coda di rospo), cotta"),
    ("15111", "Pesce spada, cotto"),
    ("15118", "Tonno fresco, cotto"),
    ("15127", "Tonno pinna gialla, crudo"),
    ("15221", "Tonno pinna gialla, cotto"),
    ("15123", "Tonnetto striato, crudo"),
    ("15124", "Tonno bianco sott'olio, sgocciolato"),
    ("15126", "Tonno bianco al naturale, sgocciolato"),
    ("15047", "Sgombro, cotto"),
    ("15048", "Sgombro in scatola, sgocciolato"),
    ("15050", "Sugarello, crudo"),
    ("15201", "Sugarello, cotto"),
    ("15209", "Salmone, cotto"),
    ("15236", "Salmone d'allevamento, crudo"),
    ("15237", "Salmone d'allevamento, cotto"),
    ("15087", "Salmone in scatola, sgocciolato"),
    ("15219", "Trota, cotta"),
    ("15240", "Trota iridea d'allevamento, cruda"),
    ("15241", "Trota iridea d'allevamento, cotta"),
    ("15092", "Spigola (branzino), cotta"),
    ("15090", "Orata, cruda"),
    ("15213", "Orata, cotta"),
    ("15097", "Sarago, crudo"),
    ("15098", "Sarago, cotto"),
    ("15101", "Dentice, crudo"),
    ("15102", "Dentice, cotto"),
    ("15039", "Aringa, cruda"),
    ("15040", "Aringa, cotta"),
    ("15041", "Aringa marinata"),
    ("15042", "Aringa affumicata"),
    ("15089", "Sardine in salsa di pomodoro, sgocciolate"),
    ("15025", "Anguilla, cruda"),
    ("15026", "Anguilla, cotta"),
    ("15008", "Carpa, cruda"),
    ("15009", "Carpa, cotta"),
    ("15033", "Eglefino, crudo"),
    ("15034", "Eglefino, cotto"),
    ("15035", "Eglefino affumicato"),
    ("15036", "Ippoglosso, crudo"),
    ("15037", "Ippoglosso, cotto"),
    ("15055", "Cefalo (muggine), crudo"),
    ("15056", "Cefalo (muggine), cotto"),
    ("15060", "Pesce persico, crudo"),
    ("15061", "Pesce persico, cotto"),
    ("15062", "Luccio, crudo"),
    ("15063", "Luccio, cotto"),
    ("15064", "Lucioperca, crudo"),
    ("15204", "Lucioperca, cotto"),
    ("15065", "Merluzzo carbonaro, crudo"),
    ("15205", "Merluzzo carbonaro, cotto"),
    ("15066", "Merluzzo d'Alaska, crudo"),
    ("15067", "Merluzzo d'Alaska, cotto"),
    ("15132", "Nasello, crudo"),
    ("15133", "Nasello, cotto"),
    ("15070", "Scorfano, crudo"),
    ("15071", "Scorfano, cotto"),
    ("15129", "Rombo, crudo"),
    ("15222", "Rombo, cotto"),
    ("15023", "Lampuga, cruda"),
    ("15194", "Lampuga, cotta"),
    ("15135", "Ricciola, cruda"),
    ("15005", "Pesce serra, crudo"),
    ("15189", "Pesce serra, cotto"),
    ("15095", "Palombo, crudo"),
    ("15104", "Storione, crudo"),
    ("15105", "Storione, cotto"),
    ("15106", "Storione affumicato"),
    ("15094", "Alosa (cheppia), cruda"),
    ("15099", "Sperlano, crudo"),
    ("15010", "Pesce gatto, crudo"),
    ("15261", "Tilapia, cruda"),
    ("15262", "Tilapia, cotta"),
    ("15072", "Uova di pesce, crude"),
    ("15012", "Caviale"),
    ("15109", "Surimi"),
    ("15138", "Bastoncini di surimi"),
    ("15027", "Bastoncini di pesce surgelati, cotti"),
    ("15151", "Gamberi, lessati"),
    ("15150", "Gamberi impanati, fritti"),
    ("15152", "Gamberetti in scatola"),
    ("15147", "Astice, crudo"),
    ("15148", "Astice, lessato"),
    ("15154", "Aragosta, cruda"),
    ("15228", "Aragosta, lessata"),
    ("15139", "Granchio, crudo"),
    ("15140", "Granchio, lessato"),
    ("15141", "Polpa di granchio in scatola"),
    ("15136", "Granchio reale, crudo"),
    ("15145", "Gambero di fiume, crudo"),
    ("15146", "Gambero di fiume, lessato"),
    ("15159", "Vongole, lessate"),
    ("15160", "Vongole in scatola, sgocciolate"),
    ("15165", "Cozze, lessate"),
    ("15169", "Ostriche, cotte"),
    ("15172", "Capesante, crude"),
    ("90240", "Capesante, cotte al vapore"),
    ("15176", "Calamari fritti"),
    ("15229", "Seppie, lessate"),
    ("15230", "Polpo, lessato"),
    ("15177", "Lumache di mare (murici), crude"),
    # --- Uova ---
    ("01123", "Uovo di gallina, intero, crudo"),
    ("01124", "Albume d'uovo, crudo"),
    ("01125", "Tuorlo d'uovo, crudo"),
    ("01129", "Uovo sodo"),
    ("01128", "Uovo fritto"),
    ("01130", "Frittata semplice"),
    ("01140", "Uovo di quaglia, crudo"),
    ("01131", "Uovo in camicia"),
    ("01132", "Uova strapazzate"),
    ("01133", "Uovo intero in polvere"),
    ("01173", "Albume d'uovo in polvere"),
    ("01138", "Uovo d'anatra, crudo"),
    ("01139", "Uovo d'oca, crudo"),
    ("01141", "Uovo di tacchina, crudo"),
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
    ("01078", "Latte vaccino intero, 3,7% di grassi"),
    ("01082", "Latte vaccino, 1% di grassi"),
    ("01109", "Latte di pecora"),
    ("01108", "Latte di bufala"),
    ("01107", "Latte materno"),
    ("01088", "Latticello"),
    ("01096", "Latte evaporato"),
    ("01091", "Latte scremato in polvere"),
    ("01102", "Latte al cacao"),
    ("01114", "Siero di latte"),
    ("01119", "Yogurt magro alla vaniglia"),
    ("01121", "Yogurt magro alla frutta"),
    ("01187", "Yogurt al cacao, magro"),
    ("43261", "Yogurt alla frutta, senza grassi"),
    ("01049", "Panna da caffè"),
    ("01054", "Panna spray"),
    ("01056", "Panna acida"),
    ("01110", "Frappè al cioccolato"),
    ("01111", "Frappè alla vaniglia"),
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
    ("01027", "Scamorza"),
    ("01146", "Parmigiano a scaglie"),
    ("01034", "Taleggio"),
    ("01025", "Caciotta"),
    ("01022", "Gouda"),
    ("01009", "Cheddar"),
    ("01007", "Camembert"),
    ("01039", "Roquefort"),
    ("01156", "Formaggio di capra stagionato"),
    ("01157", "Formaggio di capra semistagionato"),
    ("01015", "Fiocchi di latte magri"),
    ("43274", "Formaggio fresco spalmabile, leggero"),
    ("01163", "Fonduta di formaggio"),
    ("01164", "Salsa al formaggio"),
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
    ("04044", "Olio di soia"),
    ("04055", "Olio di palma"),
    ("04513", "Olio di palmisto"),
    ("04584", "Olio di girasole alto oleico"),
    ("04510", "Olio di cartamo"),
    ("04528", "Olio di noci"),
    ("04529", "Olio di mandorle"),
    ("04532", "Olio di nocciole"),
    ("04038", "Olio di germe di grano"),
    ("04037", "Olio di riso"),
    ("04581", "Olio di avocado"),
    ("04502", "Olio di semi di cotone"),
    ("04589", "Olio di fegato di merluzzo"),
    ("04501", "Burro di cacao"),
    ("04001", "Sego di bovino"),
    ("04574", "Grasso d'anatra"),
    ("04576", "Grasso d'oca"),
    ("01003", "Burro chiarificato"),
    ("01001", "Burro salato"),
    ("04602", "Burro leggero"),
    ("04614", "Margarina vegetale, 60% di grassi"),
    ("04615", "Grasso vegetale idrogenato"),
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
    ("19087", "Cioccolato bianco"),
    ("19132", "Cioccolato al latte con mandorle"),
    ("19134", "Cioccolato al latte con riso soffiato"),
    ("19903", "Cioccolato fondente (60-69% cacao)"),
    ("19078", "Cioccolato amaro per dolci (100% cacao)"),
    ("19126", "Arachidi ricoperte di cioccolato"),
    ("19127", "Uvetta ricoperta di cioccolato"),
    ("19166", "Cacao amaro in polvere, alcalinizzato"),
    ("19074", "Caramelle mou"),
    ("19106", "Caramelle gommose"),
    ("19117", "Halva"),
    ("43046", "Torrone alle mandorle"),
    ("19148", "Croccante di arachidi"),
    ("19163", "Gomma da masticare"),
    ("43060", "Gomma da masticare senza zucchero"),
    ("43058", "Caramelle dure senza zucchero"),
    ("19271", "Gelato alla fragola"),
    ("19088", "Gelato alla vaniglia, leggero"),
    ("19281", "Granita"),
    ("19283", "Ghiacciolo"),
    ("19263", "Ghiacciolo di frutta e succo"),
    ("19293", "Yogurt gelato alla vaniglia"),
    ("42187", "Yogurt gelato alla frutta"),
    ("19393", "Yogurt gelato al cioccolato"),
    ("43506", "Gelato ricoperto di cioccolato e granella"),
    ("19168", "Crema all'uovo cotta al forno"),
    ("19193", "Budino di riso"),
    ("19173", "Gelatina di frutta, preparata"),
    ("19177", "Gelatina alimentare in polvere"),
    ("19300", "Gelatina di frutta da spalmare"),
    ("19719", "Confettura di albicocche"),
    ("19304", "Melassa"),
    ("19353", "Sciroppo d'acero"),
    ("19350", "Sciroppo di glucosio"),
    ("42040", "Sciroppo di granatina"),
    ("19336", "Zucchero a velo"),
    ("43216", "Fruttosio"),
    ("19348", "Salsa al cioccolato"),
    ("19364", "Salsa al caramello"),
    ("19226", "Glassa al cioccolato"),
    ("14175", "Cacao solubile zuccherato in polvere"),
    ("14192", "Preparato per cioccolata calda"),
    ("19015", "Barretta ai cereali, croccante"),
    ("19020", "Barretta ai cereali, morbida"),
    ("19023", "Barretta di avena, frutta e frutta secca"),
    ("08546", "Barretta di riso e frumento soffiati"),
    ("19059", "Mix di frutta secca e uvetta"),
    ("19400", "Chips di banana"),
    ("19035", "Popcorn al microonde"),
    ("19039", "Popcorn caramellati"),
    ("19415", "Patatine a bastoncino"),
    ("19047", "Pretzel salati"),
    ("19056", "Chips di mais (tortilla)"),
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
    ("14084", "Vino da tavola"),
    ("14097", "Vino rosso Cabernet Sauvignon"),
    ("14098", "Vino rosso Cabernet Franc"),
    ("14099", "Vino rosso Pinot nero"),
    ("14101", "Vino rosso Barbera"),
    ("14108", "Vino rosso Sangiovese"),
    ("14100", "Vino rosso Syrah"),
    ("14102", "Vino rosso Primitivo (Zinfandel)"),
    ("14109", "Vino rosso Carignano"),
    ("14113", "Vino bianco Pinot grigio"),
    ("14138", "Vino bianco Pinot bianco"),
    ("14134", "Vino bianco Sauvignon"),
    ("14140", "Vino bianco Moscato"),
    ("14132", "Vino bianco Riesling"),
    ("14124", "Vino bianco Gewürztraminer"),
    ("14120", "Vino bianco Müller-Thurgau"),
    ("14135", "Vino bianco da vendemmia tardiva"),
    ("14006", "Birra leggera"),
    ("14305", "Bevanda al malto analcolica"),
    ("14049", "Gin"),
    ("14050", "Rum"),
    ("14051", "Vodka"),
    ("14052", "Whisky"),
    ("14034", "Liquore alla menta"),
    ("14414", "Liquore al caffè"),
    ("14201", "Caffè decaffeinato (filtro)"),
    ("14202", "Caffè espresso decaffeinato"),
    ("14214", "Caffè solubile in polvere"),
    ("14215", "Caffè solubile, preparato"),
    ("14228", "Preparato per cappuccino solubile"),
    ("14236", "Caffè d'orzo solubile in polvere"),
    ("14352", "Tè deteinato, infuso"),
    ("14381", "Tisana, infuso"),
    ("14121", "Acqua gassata (soda)"),
    ("14429", "Acqua del rubinetto"),
    ("14155", "Acqua tonica"),
    ("14136", "Bevanda gassata allo zenzero"),
    ("14145", "Gazzosa"),
    ("14293", "Limonata"),
    ("14264", "Bevanda alla frutta"),
    ("01105", "Cioccolata calda con latte"),
    ("12119", "Acqua di cocco"),
    ("09123", "Succo di pompelmo"),
    ("09128", "Spremuta di pompelmo"),
    ("09221", "Spremuta di mandarino"),
    ("09442", "Succo di melagrana"),
    ("09036", "Nettare di albicocca"),
    ("09262", "Nettare di pera"),
    ("09436", "Nettare di mango"),
    ("09294", "Succo di prugna"),
    ("43382", "Succo di mirtillo rosso"),
    ("09160", "Succo di lime"),
    ("11655", "Succo di carota"),
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
    ("02048", "Aceto di mele"),
    ("02053", "Aceto bianco di alcol"),
    ("02046", "Senape"),
    ("02055", "Rafano (cren), preparato"),
    ("02050", "Estratto di vaniglia"),
    ("04641", "Maionese leggera"),
    ("04135", "Condimento olio e aceto"),
    ("16123", "Salsa di soia"),
    ("16124", "Salsa di soia tamari"),
    ("06152", "Salsa per pizza"),
    ("11549", "Salsa di pomodoro semplice, in scatola"),
    ("06166", "Besciamella"),
    ("06165", "Besciamella leggera"),
    ("06168", "Salsa piccante al peperoncino"),
    ("06150", "Salsa barbecue"),
    ("06179", "Salsa di pesce (colatura)"),
    ("06081", "Dado da brodo di pollo"),
    ("06076", "Dado da brodo di manzo"),
    ("06172", "Brodo di pollo fatto in casa"),
    ("06170", "Brodo di carne fatto in casa"),
    ("06174", "Brodo di pesce fatto in casa"),
    ("06007", "Zuppa di fagioli con prosciutto"),
    ("06037", "Zuppa di lenticchie con prosciutto"),
    ("06050", "Zuppa di piselli secchi con prosciutto"),
    ("06035", "Minestra di scarola"),
    ("06036", "Gazpacho"),
    ("06067", "Zuppa di verdure"),
    ("06018", "Minestra di pollo con pastina"),
    ("06022", "Minestra di riso e pollo"),
    ("06445", "Zuppa di cipolle"),
    ("06449", "Passato di piselli"),
    ("06453", "Crema di patate"),
    ("06443", "Crema di funghi"),
    ("06401", "Crema di asparagi"),
    ("06559", "Crema di pomodoro"),
    ("22910", "Lasagne al formaggio, surgelate, cotte"),
    ("22916", "Lasagne alla bolognese, surgelate"),
    ("22956", "Lasagne alle verdure, surgelate, cotte"),
    ("22401", "Spaghetti al ragù, surgelati"),
    ("22247", "Maccheroni al formaggio"),
    ("11658", "Sformato di spinaci"),
    ("15128", "Insalata di tonno"),
    # --- Erbe aromatiche e spezie ---
    ("02044", "Basilico, fresco"),
    ("02063", "Rosmarino, fresco"),
    ("02049", "Timo, fresco"),
    ("02064", "Menta piperita, fresca"),
    ("02045", "Aneto, fresco"),
    ("02003", "Basilico, secco"),
    ("02027", "Origano, secco"),
    ("02036", "Rosmarino, secco"),
    ("02038", "Salvia, secca"),
    ("02042", "Timo, secco"),
    ("02023", "Maggiorana, secca"),
    ("02029", "Prezzemolo, secco"),
    ("02066", "Menta, secca"),
    ("02041", "Dragoncello, secco"),
    ("02004", "Alloro, foglie"),
    ("02030", "Pepe nero"),
    ("02032", "Pepe bianco"),
    ("02031", "Peperoncino in polvere"),
    ("02028", "Paprica"),
    ("02010", "Cannella in polvere"),
    ("02011", "Chiodi di garofano, in polvere"),
    ("02025", "Noce moscata, in polvere"),
    ("02037", "Zafferano"),
    ("02015", "Curry in polvere"),
    ("02043", "Curcuma in polvere"),
    ("02021", "Zenzero in polvere"),
    ("02014", "Cumino, semi"),
    ("02018", "Finocchio, semi"),
    ("02002", "Anice, semi"),
    ("02013", "Coriandolo, semi"),
    ("02006", "Cardamomo"),
    ("02024", "Senape, semi"),
    ("02020", "Aglio in polvere"),
    ("02026", "Cipolla in polvere"),
]


def food_groups():
    """{NDB: group} from the "# --- Group ---" comments that divide FOODS."""
    groups, group, inside = {}, None, False
    with open(os.path.abspath(__file__), encoding="utf-8") as f:
        for line in f:
            if line.startswith("FOODS = ["):
                inside = True
                continue
            if not inside:
                continue
            if line.startswith("]"):
                break
            m = re.match(r'\s*# --- (.+) ---\s*$', line)
            if m:
                group = m.group(1)
                continue
            m = re.match(r'\s*\("(\d{5})",', line)
            if m and group:
                groups[m.group(1)] = group
    return groups


def build_groups(groups):
    rows, errors = [], []
    for ndb, name in FOODS:
        g = groups.get(ndb)
        if not g:
            errors.append("NDB %s (%s) has no food group" % (ndb, name))
            continue
        if len(g) > MAX_GROUP:
            errors.append("group longer than %d characters: %s" % (MAX_GROUP, g))
        rows.append([name, g])
    return rows, errors


def read_recipes(path):
    """{dish: [cooked weight or None, ingredients' sum]} of ricette.tsv, in the file's order."""
    dishes = {}
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()[1:]
    for line in lines:
        if not line.strip():
            continue
        fields = line.split("\t")
        dish = dishes.setdefault(fields[0], [None, 0.0])
        if len(fields) > 1 and fields[1].strip():
            dish[0] = float(fields[1])
        if len(fields) > 3 and fields[3].strip():
            dish[1] += float(fields[3])
    return dishes


def build_recipe_groups(path):
    """The group rows of the dishes of ricette.tsv, in the order the file names them."""
    rows, errors, seen = [], [], []
    group_of = {}
    for group, dishes in RECIPE_GROUPS.items():
        if len(group) > MAX_GROUP:
            errors.append("group longer than %d characters: %s" % (MAX_GROUP, group))
        for dish in dishes:
            if dish in group_of:
                errors.append("dish in two groups: %s" % dish)
            group_of[dish] = group
    try:
        seen = list(read_recipes(path))
    except (OSError, ValueError) as e:
        return rows, ["cannot read %s: %s" % (path, e)]
    for name in seen:
        if name not in group_of:
            errors.append("the recipe %s has no food group" % name)
            continue
        rows.append([name, group_of[name]])
    for dish in group_of:
        if dish not in seen:
            errors.append("grouped dish not in %s: %s" % (os.path.basename(path), dish))
    return rows, errors


# ---------------------------------------------------------------- portions
PORTION_HEADER = ["alimento", "nome", "grammi", "fonte"]
MAX_PORTION = 50  # the width of the portion name column
LARN_SOURCE = "LARN 2014, porzioni standard (SINU, 20141111_LARN_Porzioni.pdf)"

# The USDA household measures, in Italian: the unit in the singular and the plural.
PORTION_UNITS = {
    "cup": ("tazza", "tazze"), "tbsp": ("cucchiaio", "cucchiai"),
    "tablespoon": ("cucchiaio", "cucchiai"), "tsp": ("cucchiaino", "cucchiaini"),
    "teaspoon": ("cucchiaino", "cucchiaini"), "slice": ("fetta", "fette"),
    "fillet": ("filetto", "filetti"), "piece": ("pezzo", "pezzi"),
    "egg": ("uovo", "uova"), "leaf": ("foglia", "foglie"), "bar": ("barretta", "barrette"),
    "cookie": ("biscotto", "biscotti"), "fruit": ("frutto", "frutti"),
    "cracker": ("cracker", "cracker"), "clove": ("spicchio", "spicchi"),
    "stalk": ("gambo", "gambi"), "head": ("cespo", "cespi"),
    "medium": ("medio", "medi"), "large": ("grande", "grandi"), "small": ("piccolo", "piccoli"),
}
# The qualifiers kept (in words that do not depend on the food's gender); others drop the measure.
PORTION_QUALIFIERS = {
    "chopped": "a pezzetti", "diced": "a cubetti", "chopped or diced": "a pezzetti",
    "cubes": "a cubetti", "sliced": "a fette", "slices": "a fette", "pieces": "a pezzi",
    "pureed": "in purea", "halves": "a metà", "crumbs": "in briciole",
    "shredded": "a listarelle", "boneless": "senza osso",
}
PORTION_AMOUNTS = {"1": "1", ".5": "1/2", ".25": "1/4", ".75": "3/4", "2": "2", "3": "3",
                   "4": "4", "1.5": "1 e 1/2"}
# Words that mark an untranslated description: --check refuses them.
ENGLISH_WORDS = {"cup", "cups", "tbsp", "tsp", "oz", "slice", "medium", "large", "small",
                 "piece", "serving", "chopped", "sliced", "diced", "with", "without", "and",
                 "or", "the", "of", "whole", "raw", "cooked", "fl", "lb", "each", "unit",
                 "package", "can", "fillet", "leaf", "inch", "yield", "from", "boneless"}


def translate_measure(desc, group):
    """The Italian name of a USDA household measure, or None when it has no translation."""
    desc = " ".join(desc.split())
    head, _, qualifier = desc.partition(",")
    qualifier = re.sub(r"\([^)]*\)", "", qualifier).strip()
    parts = head.split()
    if len(parts) == 3 and parts[1:] == ["fl", "oz"] or len(parts) != 2:
        return None
    amount, unit = parts
    if amount not in PORTION_AMOUNTS:
        return None
    # An ounce is a weight, not a measure of the kitchen: the handout would read
    # "30 g, 2 × 1/2 oncia (14 g)". Left out.
    if unit in ("oz", "ounce"):
        return None
    if unit not in PORTION_UNITS:
        return None
    if qualifier and qualifier not in PORTION_QUALIFIERS:
        return None
    one, many = PORTION_UNITS[unit]
    n = PORTION_AMOUNTS[amount]
    word = one if amount in ("1", ".5", ".25", ".75") else many
    if unit in ("medium", "large", "small"):
        if amount != "1":
            return None
        noun = ("frutto " if group == "Frutta fresca" else
                "uovo " if group == "Uova" else "")
        name = "1 %s%s" % (noun, word)
    else:
        name = "%s %s" % (n, word)
    if qualifier:
        name += " " + PORTION_QUALIFIERS[qualifier]
    return name


def larn_portion(name, group):
    """The LARN standard portion of the food's group, in grams, or None."""
    low = name.lower()
    cooked = "cott" in low or "bollit" in low
    if group == "Cereali, farine e pasta":
        return None if cooked else 80
    if group == "Pane, prodotti da forno, pizza":
        return 50 if low.startswith("pane") else None
    if group == "Legumi":
        return 150 if cooked or "fresch" in low or "scatola" in low else 50
    if group == "Verdure e ortaggi":
        return 200
    if group == "Frutta fresca":
        return 150
    if group == "Latte e yogurt":
        return 125
    if group == "Formaggi":
        fresh = any(w in low for w in ("mozzarella", "ricotta", "fiocchi", "stracchino",
                                        "crescenza", "caprino", "feta", "cottage", "spalmabile"))
        return 100 if fresh else 50
    if group.startswith("Carni"):
        return 100
    if group == "Salumi":
        return 50
    if group == "Pesce, crostacei, molluschi":
        return 150
    if group == "Uova":
        return 50
    if group == "Oli e grassi":
        return 10
    if group == "Frutta secca, conservata, semi":
        return 30 if not any(w in low for w in ("sciroppo", "succo", "conserv")) else None
    return None


def build_portions(abbrev, groups):
    rows, errors = [], []
    for ndb, name in FOODS:
        group = groups.get(ndb, "")
        seen = set()
        grams = larn_portion(name, group)
        if grams:
            rows.append([name, "1 porzione", "%g" % grams, LARN_SOURCE])
            seen.add("1 porzione")
        fields = abbrev.get(ndb)
        if not fields:
            continue
        for weight, desc in ((fields[46], fields[47]), (fields[48], fields[49])):
            if not weight or not desc or float(weight) <= 0:
                continue
            it = translate_measure(desc, group)
            if not it or it in seen:
                continue
            seen.add(it)
            if len(it) > MAX_PORTION:
                errors.append("portion name longer than %d characters: %s" % (MAX_PORTION, it))
            rows.append([name, it, "%g" % float(weight), "USDA SR %s" % ndb])
    for row in rows:
        words = set(re.findall(r"[a-z]+", row[1].lower()))
        english = words & ENGLISH_WORDS
        if english:
            errors.append("portion of %s not in Italian: %s" % (row[0], row[1]))
    return rows, errors


def recipe_portion_source(servings):
    return "ricetta per %d %s" % (servings, "porzione" if servings == 1 else "porzioni")


def build_recipe_portions(path):
    """A "1 porzione" row for each dish of ricette.tsv, in the file's order: the cooked
    weight (or the ingredients' sum) over RECIPE_SERVINGS, to the nearest gram."""
    rows, errors = [], []
    try:
        dishes = read_recipes(path)
    except (OSError, ValueError) as e:
        return rows, ["cannot read %s: %s" % (path, e)]
    for name, (cooked, total) in dishes.items():
        servings = RECIPE_SERVINGS.get(name)
        if servings is None:
            errors.append("the recipe %s has no servings in RECIPE_SERVINGS" % name)
            continue
        if not isinstance(servings, int) or servings < 1:
            errors.append("servings of %s not a whole number above 0: %r" % (name, servings))
            continue
        weight = cooked if cooked is not None else total
        grams = math.floor(weight / servings + 0.5)
        if grams < 1:
            errors.append("the portion of %s weighs less than 1 g" % name)
            continue
        rows.append([name, "1 porzione", "%d" % grams, recipe_portion_source(servings)])
    for dish in RECIPE_SERVINGS:
        if dish not in dishes:
            errors.append("dish with servings not in %s: %s" % (os.path.basename(path), dish))
    return rows, errors


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
    if len(FOODS) < MIN_FOODS:
        errors.append("only %d foods, at least %d wanted" % (len(FOODS), MIN_FOODS))
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
    ap.add_argument("-g", "--groups", default=os.path.join(here, "gruppi.tsv"))
    ap.add_argument("-p", "--portions", default=os.path.join(here, "porzioni.tsv"))
    ap.add_argument("-r", "--recipes", default=os.path.join(here, "ricette.tsv"),
                    help="the shipped dishes, grouped after the foods in gruppi.tsv")
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
    group_rows, more = build_groups(food_groups())
    errors += more
    recipe_group_rows, more = build_recipe_groups(args.recipes)
    group_rows += recipe_group_rows
    errors += more
    portion_rows, more = build_portions(abbrev, food_groups())
    errors += more
    recipe_portion_rows, more = build_recipe_portions(args.recipes)
    portion_rows += recipe_portion_rows
    errors += more
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
               (args.nutrients, format_tsv(NUTRIENT_HEADER, nutrient_rows)),
               (args.groups, format_tsv(GROUP_HEADER, group_rows)),
               (args.portions, format_tsv(PORTION_HEADER, portion_rows))]
    if args.check:
        if not all([up_to_date(path, text) for path, text in outputs]):
            return 1
        print("%s, %s, %s: %d foods, up to date"
              % (args.output, args.nutrients, args.groups, len(rows)))
        return 0

    for path, text in outputs:
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
    print("%s, %s, %s: %d foods written" % (args.output, args.nutrients, args.groups, len(rows)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
