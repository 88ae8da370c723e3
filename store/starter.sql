-- The starter recipe database. Table "01": dishes; table "02": categories.
BEGIN;
CREATE TABLE "01" (id INTEGER PRIMARY KEY AUTOINCREMENT, category TEXT, "名称" TEXT, ingredients TEXT, method TEXT, picture TEXT);
CREATE TABLE "02" (id INTEGER PRIMARY KEY AUTOINCREMENT, category TEXT);
INSERT INTO "02"(category) VALUES ('家常菜');
INSERT INTO "01"(category, "名称", ingredients, method, picture) VALUES ('家常菜', '番茄炒蛋', '番茄 2个' || char(13,10) || '鸡蛋 3个', '1. 鸡蛋打散炒熟盛出。' || char(13,10) || '2. 番茄炒软，倒回鸡蛋翻匀。', '');
COMMIT;
