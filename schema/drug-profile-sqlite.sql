-- The drug-bag printing module's drug-profile database (tools/dbDrugProfile.mdb) as the embedded
-- engine holds it, for the tests and the demo: the drug-bag labels and the NHI drug profile the
-- module ships. The module owns the real schema; the actions need only the columns named here.
-- Codes compare without regard to case, as the desktop database compares text.
CREATE TABLE tblDrugBag (
    藥品代碼 VARCHAR(20) COLLATE NOCASE PRIMARY KEY,
    英文品名 VARCHAR(255),
    中文品名 VARCHAR(255),
    成分名稱 TEXT,
    廠商名稱 VARCHAR(100),
    藥品外觀 VARCHAR(255),
    適應症 VARCHAR(255),
    其他用藥指示 TEXT,
    副作用 TEXT,
    孕婦等級 VARCHAR(10),
    藥品警語 TEXT
);

CREATE TABLE tDrugInfoFromNhi (
    健保碼 VARCHAR(20) COLLATE NOCASE,
    英文名 VARCHAR(255),
    中文名 VARCHAR(255),
    成分 TEXT,
    劑型 VARCHAR(50),
    製造廠 VARCHAR(100),
    適應症 TEXT
);
CREATE INDEX idxDrugInfo健保碼 ON tDrugInfoFromNhi (健保碼);

-- The name under which the module's profile is read from start to end.
CREATE VIEW tDrugInfoFronNhi AS SELECT * FROM tDrugInfoFromNhi;
