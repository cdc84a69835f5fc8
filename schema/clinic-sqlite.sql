-- The clinic database as the embedded engine holds it: the drug master table and the
-- key/value table. Column types follow the desktop database's own (text with a length,
-- double, date), so that values are refused where the installed application would refuse them.
CREATE TABLE tblDrugs (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    新 VARCHAR(2),
    單複方註記 VARCHAR(10),
    代碼 VARCHAR(12),
    藥價參考金額 DOUBLE,
    藥價參考日期 DATETIME,
    藥價參考截止日期 DATETIME,
    藥品英文名稱 VARCHAR(255),
    藥品規格量 DOUBLE DEFAULT 0,
    藥品規格單位 VARCHAR(50),
    成份 TEXT,
    成份含量 DOUBLE DEFAULT 0,
    含量單位 VARCHAR(50),
    藥品劑型 VARCHAR(50),
    製造廠名稱 VARCHAR(100)
);
CREATE INDEX idxDrugs代碼 ON tblDrugs (代碼);

CREATE TABLE tblTemp (
    pKey VARCHAR(50),
    pValue VARCHAR(255)
);
CREATE INDEX idxTempKey ON tblTemp (pKey);
