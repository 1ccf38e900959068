-- version: 6.37.0
-- Beneficiary registry: at most one reference seat per beneficiary, also when two
-- workstations post at the same time (the unique index sees uncommitted rows too).
CREATE UNIQUE INDEX UX_TSEB_RIFERIMENTO ON TSEB_SEDIBEN
  COMPUTED BY (CASE WHEN LSEBRIFERIMENTO = 1 AND DDELETE IS NULL THEN IBENID END);
