CREATE TABLE `unique_only` (
  `label` varchar(30) DEFAULT NULL,
  `code` char(6) NOT NULL,
  `qty` int(11) NOT NULL,
  UNIQUE KEY `uk_code` (`code`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
