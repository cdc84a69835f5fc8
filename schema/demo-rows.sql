-- A few hundred drugs of last month's list, so that the demo shows the table being replaced.
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300)
INSERT INTO tblDrugs (新, 單複方註記, 代碼, 藥價參考金額, 藥價參考日期, 藥價參考截止日期, 藥品英文名稱,
                      藥品規格量, 藥品規格單位, 成份, 成份含量, 含量單位, 藥品劑型, 製造廠名稱)
SELECT '', '單方', printf('OLD%05d100', i), round(1 + (i * 37 % 500) / 7.0, 2), '2024-01-01 00:00:00',
       '2024-03-31 00:00:00', printf('OLD DRUG %d TABLETS', i), 500, 'MG', 'ACETAMINOPHEN', 500, 'MG',
       '錠劑', '上月藥廠股份有限公司'
FROM n;
INSERT INTO tblTemp (pKey, pValue) VALUES ('AUTOUPDATE_DRUG_KEY', '202403.puf');
