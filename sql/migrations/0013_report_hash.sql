-- version: 6.37.0
-- Report templates: a fingerprint of the text the program last shipped, so that an upgrade
-- can tell a template the office edited (kept) from one it did not touch (updated).
ALTER TABLE TYRpt_RptTemplate ADD sYRptShipHash VARCHAR(64);
