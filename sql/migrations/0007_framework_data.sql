-- version: 6.37.0
-- The local user of an embedded database administers it and holds every right.
INSERT INTO TVE_UTENTI (SUTNLOGIN, SUTNNOME, LUTNADMIN) VALUES ('SYSDBA', 'Amministratore locale', 1);
