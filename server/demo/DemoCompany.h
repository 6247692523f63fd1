#pragma once

namespace srv {

class Store;

// Fills an empty company database with data to show, to test and to measure. Every fill is
// deterministic (same database content on every run and on both backends) and runs in one
// transaction; it refuses (DatabaseError) a database that already has branches.
//
// fill(store, year): the demo company, passwords in the README.
//  - 24 branches 0001..0024 in 3 regions (SUL, SUD, NOR) and 4 groups (GRP1..GRP4), segments
//    on most of them; 0003 bills "FE", 0004 "FS" (IDFATUROP), 0005 has IDDETALHEFATUR "N".
//  - year `year`: versions 1 (first month 4), 2 (first month 7), 3 (first month 1, the latest);
//    year-1: version 1 (first month 1), its budget filled as the actual history.
//  - operators: demo/"demo" (every branch, calculation access everywhere, phase FASE1 opening
//    every month); filial/"filial" (branches 0001..0008, calculation access on 0001..0004 only);
//    fase/"fase" (every branch, phase FASE2 that closes JAN..MAR).
//  - budget lines of every type letter for branches 0001..0020 in every version (0021..0024
//    have no budget); in version 3: branches 0001 and 0002 effected ("E"), 0006 approved ("A");
//    entry expenses of operation type "V" and of other types on every budgeted branch.
//  - master data: services with prices, corrections, adjustments, actual history of year-1 and
//    year-2, working days of year-2..year+1, taxes, fee rates, assets, labour budgets.
//
// fillTestFixture(store): the small company the screen and server tests share, year 2026.
//  - branches: 0001 "FILIAL CENTRO" billing "FE", open, calculation access;
//              0002 "FILIAL NORTE"  billing "FS" (no billing calculation), open;
//              0003 "FILIAL SUL"    every item effected ("E");
//              0004 "FILIAL LESTE"  items approved ("A");
//              0005 "FILIAL OESTE"  no calculation access for operator `teste`;
//              0006 "FILIAL REMOTA" not visible to operator `teste` at all.
//    0001..0003 in region R1, group G1; 0004..0006 in region R2, group G2; segments S1 (0001,
//    0002, 0004) and S2 (0003, 0005, 0006).
//  - versions of 2026: 1 (first month 4, April), 2 (first month 1, the latest); 2025: 1.
//  - operators: teste/"teste" (phase F1: every month open; sees 0001..0005, calculates all but
//    0005); fase/"fase" (phase F2: JAN..MAR closed, IDFASECALCORCA "S"; sees 0001..0006);
//    bloq/"bloq" (phase F3: IDFASECALCORCA "N"; sees 0001..0002).
//  - each visible branch has one item per type letter in both versions (the T item is the fee
//    row), entry expenses of both kinds (CDTIPOOPER "V" and "01"), working days of 2025 and
//    2026, and master data (services with 2025 actual history, taxes I and R, fee rate, one
//    asset, a labour budget of two labour types).
//
// fillGenerated(store, branches, itemsPerBranch): a large company for the benchmarks: year 2026
// version 1, `branches` branches with `itemsPerBranch` items each (all type letters in turn),
// operator demo/"demo" with calculation access to all of them.
class DemoCompany {
public:
    static void fill(Store& store, int currentYear);
    static void fillTestFixture(Store& store);
    static void fillGenerated(Store& store, int branches, int itemsPerBranch);
};

} // namespace srv
