#pragma once

namespace srv {

class Store;

// Fills an empty company database with data to show, to test and to measure. Every fill is
// deterministic (same database content on every run and on both backends) and runs in one
// transaction; it refuses (DatabaseError) a database that already has branches.
//
// fill(store, year): the demo company; passwords are documented in the README.
//  - 24 branches 0001..0024 in 3 regions (SUL 0001..0008, SUD 0009..0016, NOR 0017..0024) and
//    4 groups (GRP1..GRP4 in turn; 0001 also in GRP2); segments SAU, IND, EDU, COR on
//    0001..0020, none on 0021..0024. Billing kind IDFATUROP "FM" except 0003 "FE" and 0004
//    "FS"; 0005 has IDDETALHEFATUR "N". GRP1 branches also work on Saturdays.
//  - year-1: version 1 (first month 1), its budget effected. year: versions 1 (first month 4),
//    2 (first month 7) and 3 (first month 1, the latest).
//  - operators: demo/"demo" (every branch, calculation access everywhere, phase FASE1 with
//    every month open); filial/"filial" (branches 0001..0008, calculation access on 0001..0004
//    only, phase FASE1); fase/"fase" (every branch, phase FASE2 closing JAN..MAR).
//  - budgets of 0001..0020 in every version (0021..0024 have none): lines F, C, T, N, P, three
//    labour lines O, taxes I (3), R (2), S (2), head-office M (2), miscellaneous D (3), entry
//    expenses E of operation type "V" and of "01" and "02". In version 3 of `year`: 0001 and
//    0002 effected ("E"), 0006 approved ("A"), 0007 only its billing line effected. 0017 and
//    0018 typed by hand (IDITEMCALCORCA "N"); 0019 and 0020 have no base month, 0004 ("FS")
//    and 0005 (no billing detail) none on their consumption line; 0020 has no tax registered
//    (and so no I, R, S lines).
//  - master data: services (3 billing, 2 consumption) with prices, corrections from July and a
//    December adjustment for year-1 and year; actual history of year-2 and year-1; working days
//    of year-2 .. year+1; tax rates; fee rates; three fixed assets and a labour budget
//    ("MO" + branch) of three labour types per branch. The budget figures are what the
//    calculations make of this master data.
//
// fillTestFixture(store): the small company the screen and server tests share, year 2026.
//  - branches: 0001 "FILIAL CENTRO" billing "FE";
//              0002 "FILIAL NORTE"  billing "FS" (no billing calculation);
//              0003 "FILIAL SUL"    every line effected ("E"), header "E";
//              0004 "FILIAL LESTE"  every line approved ("A"), header "A";
//              0005 "FILIAL OESTE"  open, but operator `teste` has no calculation access;
//              0006 "FILIAL REMOTA" open, not visible to operator `teste` at all.
//    Others bill "FM". 0001..0003 in region R1 and group G1, 0004..0006 in R2 and G2; segment
//    S1 on 0001, 0002, 0004 and S2 on 0003, 0005, 0006.
//  - versions: 2025/1 (first month 1, no budget); 2026/1 (first month 4: April 2026 to March
//    2027); 2026/2 (first month 1, the latest).
//  - operators: teste/"teste" (phase F1, every month open; sees 0001..0005, calculates all but
//    0005); fase/"fase" (phase F2: JAN..MAR closed, IDFASECALCORCA "S"; sees and calculates
//    0001..0006); bloq/"bloq" (phase F3: IDFASECALCORCA "N"; sees 0001..0002).
//  - every branch has, in both versions of 2026, 14 lines: one per type letter except two
//    labour lines O (labour types 01 and 02) and two entry-expense lines E (operation "V" with
//    expense type 004, operation "01" with 005); taxes 01 (I), 04 (R), 06 (S); every month
//    filled. Base month of billing and consumption: 01/10/2025.
//  - master data: services with 2025 actual history, working days 2025..2027, tax and fee
//    rates of 2025 and 2026, three assets, one labour budget "MO" + branch.
//  - products (in every fill): 004 LIM01..LIM03, 005 TRA01 (350,00) and TRA02 (220,00), 006
//    UNI01 and UNI02; no quantities planned.
//  - module parameters: IDTIPOSIMULARESULTFAT "FATURAMENTO_BRUTO", IDORCDESPENTROP "O" (same
//    in the demo).
//
// fillGenerated(store, branches, itemsPerBranch): a large company for the benchmarks: year 2026
// version 1 (first month 1), `branches` branches (at most 9999) with `itemsPerBranch` open
// lines each (the type letters in turn), working days of 2026, operator demo/"demo" with
// calculation access to all of them.
class DemoCompany {
public:
    static void fill(Store& store, int currentYear);
    static void fillTestFixture(Store& store);
    static void fillGenerated(Store& store, int branches, int itemsPerBranch);
};

} // namespace srv
