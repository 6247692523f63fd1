#pragma once

// What the dataset is doing: closed, browsing, editing the current row or inserting a new one.
enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
