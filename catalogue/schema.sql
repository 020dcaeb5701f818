-- The picture catalogue: one row per catalogued picture.
CREATE TABLE Info (
    FileName TEXT,
    Location TEXT,
    Description TEXT
);
